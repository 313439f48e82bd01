#include "ops/target_size.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "settings/keyword_codes.h"

namespace quorbix {
namespace {

int32_t clampToInt32(double value) {
  constexpr double kMin = std::numeric_limits<int32_t>::min();
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(value, kMin, kMax));
}

// The derived side: quotient held in single precision, then x + 0.5 rounded
// down (the quotient is never negative here).
int32_t derivedSide(int32_t target, float ratio) {
  const float quotient = static_cast<float>(target) / ratio;
  return clampToInt32(std::floor(static_cast<double>(quotient) + 0.5));
}

// Bytes of one CWeightsTable: per destination pixel a contribution record
// plus a separately allocated window of doubles. The window is widest for
// the Lanczos filter (radius 3) and widens again when shrinking.
double weightTableBytes(double dstLength, double srcLength) {
  constexpr double kFilterRadius = 3.0;
  constexpr double kPerPixelOverhead = 16.0 + 16.0;  // record + malloc header
  const double scale = std::max(1.0, srcLength / dstLength);
  const double window = 2.0 * std::ceil(kFilterRadius * scale) + 1.0;
  return dstLength * (kPerPixelOverhead + 8.0 * window);
}

double bitmapBytes(double width, double height, double bpp) {
  const double pitch = std::ceil(width * bpp / 32.0) * 4.0;
  return pitch * height;
}

}  // namespace

int32_t targetSize(int32_t value, uint8_t unit, int32_t current) {
  switch (unit) {
    case UNIT_PIXELS:
      return value;
    case UNIT_PERCENT:
      // nearbyint rounds to even in the default rounding mode.
      return clampToInt32(std::nearbyint(value / 100.0 * current));
    default:
      return 0;
  }
}

Size rescaledSize(int32_t width, int32_t height, int32_t tw, int32_t th, bool keepAspectRatio) {
  if (!keepAspectRatio) return {tw, th};
  if (width >= height) {
    const float ratio = static_cast<float>(static_cast<double>(width) / height);
    return {tw, derivedSide(tw, ratio)};
  }
  const float ratio = static_cast<float>(static_cast<double>(height) / width);
  return {derivedSide(th, ratio), th};
}

double rescaleMemoryBytes(Size source, Size target, unsigned bpp) {
  // Pictures of 16 bits or less may come out at up to 32 bits (palette to
  // RGBA); deeper ones keep their depth.
  const double dstBpp = bpp <= 16 ? 32.0 : bpp;
  const double sw = source.width, sh = source.height;
  const double tw = target.width, th = target.height;
  // FreeImage filters the shrinking axis first; the intermediate picture is
  // tw x sh when the width shrinks or stays, else sw x th.
  const double intermediate = tw <= sw ? bitmapBytes(tw, sh, dstBpp) : bitmapBytes(sw, th, dstBpp);
  return bitmapBytes(tw, th, dstBpp) + intermediate + weightTableBytes(tw, sw) +
         weightTableBytes(th, sh);
}

}  // namespace quorbix
