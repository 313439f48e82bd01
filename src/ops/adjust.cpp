#include "image/transforms.h"
#include "ops/operations.h"

namespace quorbix {

// Brightness, contrast, gamma and inversion in one FreeImage call, in place,
// so FreeImage's own order among them applies.
Bitmap adjustImage(Bitmap image, const AdjustOptions& settings) {
  if (!image || !settings.adjustOn) return image;
  const unsigned bpp = image.bpp();
  if (bpp < 8 || bpp > 32) {
    image = convertTo24Bits(image);
    if (!image) return image;
  }
  // FreeImage adjusts 8-, 24- and 32-bit standard bitmaps; anything else (a
  // 16-bit or a float picture) it refuses, and the picture stays as it was.
  adjustColors(image, static_cast<double>(settings.brightness), static_cast<double>(settings.contrast),
               static_cast<double>(settings.gamma), settings.invert);
  return image;
}

}  // namespace quorbix
