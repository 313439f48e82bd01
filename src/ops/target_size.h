// Sizing rules of the resize step, kept apart from the pixel work so that
// they can be checked without bitmaps. Pure functions, callable from any
// thread.
#pragma once

#include <cstdint>

namespace quorbix {

struct Size {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const Size&) const = default;
};

// Target of one axis: UNIT_PIXELS gives `value` itself, UNIT_PERCENT gives
// value / 100 x current rounded half to even, any other unit 0. Percent
// results beyond the 32-bit range are clamped to it (they can never be
// reached; the memory guard refuses them).
int32_t targetSize(int32_t value, uint8_t unit, int32_t current);

// Size of the rescaled picture for targets tw x th (both > 0) and a current
// size width x height. With `keepAspectRatio`, landscape and square pictures
// follow tw and portrait pictures th; the other side is derived in single
// precision and rounded half up, and may come out 0.
Size rescaledSize(int32_t width, int32_t height, int32_t tw, int32_t th, bool keepAspectRatio);

// Upper bound, in bytes, of what FreeImage_Rescale allocates to turn a
// `bpp`-bit picture of source size into one of target size: the result, its
// intermediate pass and the filter weight tables.
double rescaleMemoryBytes(Size source, Size target, unsigned bpp);

// Largest working set a rescale may ask for. Far beyond any picture this
// program makes from a PhotoCD (a 64Base scan is 72 MiB at 24 bits), and the
// limit of 32-bit pitch and offset arithmetic inside FreeImage and of
// classic TIFF files.
inline constexpr double kMaxRescaleBytes = 4294967296.0;  // 4 GiB

}  // namespace quorbix
