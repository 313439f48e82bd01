// The resolution a loaded picture is saved with: its dots per metre, or the
// EXIF XResolution / YResolution when the picture carries them.
#pragma once

#include <cstdint>

#include "image/bitmap.h"

namespace quorbix {

struct Resolution {
  int32_t dotsPerMetreX = 0;
  int32_t dotsPerMetreY = 0;
};

// An EXIF resolution tag's first 32-bit word (the numerator of its rational)
// is taken as dots per inch; the denominator and the unit are not read:
// 300 gives 11811 dots per metre, 72 gives 2835.
Resolution resolutionOf(const Bitmap& image);

void applyResolution(const Bitmap& image, const Resolution& resolution);

}  // namespace quorbix
