#include <FreeImage.h>

#include "ops/operations.h"

namespace quorbix {

// Both flips work in place; a flip FreeImage refuses leaves the picture as it
// was. Both together turn the picture by 180 degrees.
Bitmap flipImage(Bitmap image, const FlipOptions& settings) {
  if (!image) return image;
  if (settings.flipHorizontal) FreeImage_FlipHorizontal(image.get());
  if (settings.flipVertical) FreeImage_FlipVertical(image.get());
  return image;
}

}  // namespace quorbix
