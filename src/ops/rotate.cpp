// Rotation by a whole number of degrees: SIMPLE grows the canvas and fills the
// uncovered corners with ROTATION-BACK-COLOR, ADVANCED keeps the canvas and
// lets FreeImage mirror the picture into the uncovered area.
#include "image/transforms.h"
#include "ops/color.h"
#include "ops/operations.h"

namespace quorbix {
namespace {

// FreeImage rotates 24- and 32-bit pictures as they are; everything else
// (palette, greyscale, 16-bit, high precision) goes through 24 bits first.
Bitmap toRotatableDepth(Bitmap image) {
  const unsigned bpp = image.bpp();
  if (bpp > 16 && bpp <= 32) return image;
  return convertTo24Bits(image);
}

}  // namespace

Bitmap rotateImage(Bitmap image, const RotateOptions& settings) {
  if (!image || !settings.rotationOn) return image;
  // Negative angles and whole turns are not normalised: they do nothing.
  if (settings.rotation < 1 || settings.rotation > 359) return image;

  const double width = image.width();
  const double height = image.height();
  image = toRotatableDepth(std::move(image));
  if (!image) return image;

  const double angle = settings.rotation;
  if (settings.rotationType == ROTATION_ADVANCED) {
    return rotateEx(image, angle, 0.0, 0.0, width / 2.0, height / 2.0, false);
  }
  // Any other code rotates the simple way. The fourth byte 0 makes the
  // corners of a 32-bit picture transparent.
  const Rgba color = parseColor(settings.rotationBackColor);
  return rotate(image, angle, color.r, color.g, color.b, 0);
}

}  // namespace quorbix
