#include <FreeImage.h>

#include "ops/operations.h"

namespace quorbix {

// The result is an 8-bit greyscale bitmap; any alpha channel is dropped.
Bitmap greyscaleImage(Bitmap image, const GreyscaleOptions& settings) {
  if (!image || !settings.greyscale) return image;
  if (image.bpp() > 32) {
    image = Bitmap(FreeImage_ConvertTo24Bits(image.get()));
    if (!image) return image;
  }
  return Bitmap(FreeImage_ConvertToGreyscale(image.get()));
}

}  // namespace quorbix
