// Resizing to a target in pixels or percent, optionally keeping the
// proportions and optionally only for pictures at least as large as the
// target on one axis.
#include "image/transforms.h"
#include "ops/operations.h"
#include "ops/target_size.h"

namespace quorbix {
namespace {

ResizeFilter filterFor(uint8_t algorithm) {
  switch (algorithm) {
    case ALGO_BOX: return ResizeFilter::Box;
    case ALGO_BILINEAR: return ResizeFilter::Bilinear;
    case ALGO_BSPLINE: return ResizeFilter::BSpline;
    case ALGO_BICUBIC: return ResizeFilter::Bicubic;
    case ALGO_CATMULLROM: return ResizeFilter::CatmullRom;
    case ALGO_LANCZOS: return ResizeFilter::Lanczos3;
    default: return ResizeFilter::Bicubic;
  }
}

// True when rescaling to `size` would only clone the picture: the
// same size and a 24- or 32-bit RGB(A) picture (others it may still convert
// to another depth, so they go through it).
bool rescaleWouldOnlyCopy(const Bitmap& image, Size size) {
  const unsigned bpp = image.bpp();
  return static_cast<unsigned>(size.width) == image.width() &&
         static_cast<unsigned>(size.height) == image.height() &&
         image.type() == SampleType::Standard && (bpp == 24 || bpp == 32);
}

}  // namespace

Bitmap resizeImage(Bitmap image, int width, int height, const ResizeOptions& settings) {
  if (!image || !settings.resizeOn) return image;

  const int32_t tw = targetSize(settings.width, settings.widthUnit, width);
  const int32_t th = targetSize(settings.height, settings.heightUnit, height);
  if (tw <= 0 || th <= 0) return image;
  if (width == tw && height == th) return image;
  if (settings.resizeType == RESIZE_LARGEIMAGES && width < tw && height < th) return image;
  if (width <= 0 || height <= 0) return image;  // not a measured picture

  const Size size = rescaledSize(width, height, tw, th, settings.keepAspectRatio);
  if (rescaleWouldOnlyCopy(image, size)) return image;

  // FreeImage does not check its filter tables' allocations: an absurd
  // target would exhaust memory or crash inside it. Refused like a failed
  // rescale, so the file counts as not converted.
  const Size source{static_cast<int32_t>(image.width()), static_cast<int32_t>(image.height())};
  if (size.width > 0 && size.height > 0 &&
      rescaleMemoryBytes(source, size, image.bpp()) > kMaxRescaleBytes) {
    return Bitmap();
  }

  // A side of 0 (the long thin picture with its proportions kept) makes
  // FreeImage return nothing: the file then fails at saving.
  return rescale(image, size.width, size.height, filterFor(settings.resizeAlgorithm));
}

}  // namespace quorbix
