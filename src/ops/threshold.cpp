#include "image/transforms.h"
#include "ops/operations.h"

namespace quorbix {

// The result is a 1-bit bitmap: pixels darker than the level black, the
// others white.
Bitmap thresholdImage(Bitmap image, const ThresholdOptions& settings) {
  if (!image || !settings.thresholdOn) return image;
  if (image.bpp() > 32) {
    image = convertTo24Bits(image);
    if (!image) return image;
  }
  // The level is the low byte of THRESHOLD, so 256 acts as 0 and -1 as 255.
  const auto level = static_cast<uint8_t>(settings.threshold & 0xFF);
  return threshold(image, level);
}

}  // namespace quorbix
