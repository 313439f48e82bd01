#include "image/transforms.h"
#include "ops/operations.h"

namespace quorbix {

// The result is an 8-bit greyscale bitmap; any alpha channel is dropped.
Bitmap greyscaleImage(Bitmap image, const GreyscaleOptions& settings) {
  if (!image || !settings.greyscale) return image;
  if (image.bpp() > 32) {
    image = convertTo24Bits(image);
    if (!image) return image;
  }
  return convertToGreyscale(image);
}

}  // namespace quorbix
