#include <FreeImage.h>

#include "ops/operations.h"

namespace quorbix {

// Both flips work in place; a flip FreeImage refuses leaves the picture as it
// was. Both together turn the picture by 180 degrees.
void flipImage(const Bitmap& image, const Settings& settings) {
  if (!image) return;
  if (settings.flipHorizontal) FreeImage_FlipHorizontal(image.get());
  if (settings.flipVertical) FreeImage_FlipVertical(image.get());
}

}  // namespace quorbix
