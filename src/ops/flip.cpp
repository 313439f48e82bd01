#include "image/transforms.h"
#include "ops/operations.h"

namespace quorbix {

// Both flips work in place; a flip FreeImage refuses leaves the picture as it
// was. Both together turn the picture by 180 degrees.
Bitmap flipImage(Bitmap image, const FlipOptions& settings) {
  if (!image) return image;
  if (settings.flipHorizontal) flipHorizontal(image);
  if (settings.flipVertical) flipVertical(image);
  return image;
}

}  // namespace quorbix
