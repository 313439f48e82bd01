#include "image/transforms.h"
#include "ops/operations.h"

namespace quorbix {

// Both flips work in place; a flip FreeImage refuses leaves the picture as it
// was. Both together turn the picture by 180 degrees.
void flipImage(const Bitmap& image, const Settings& settings) {
  if (!image) return;
  if (settings.flipHorizontal) flipHorizontal(image);
  if (settings.flipVertical) flipVertical(image);
}

}  // namespace quorbix
