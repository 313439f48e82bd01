#include "ops/watermark_composite.h"

namespace quorbix {

Bitmap toRgb24(Bitmap image) {
  if (!image) return image;
  FREE_IMAGE_TYPE type = FreeImage_GetImageType(image.get());
  if (type == FIT_BITMAP && image.bpp() == 24) return image;
  if (type != FIT_BITMAP && type != FIT_RGB16 && type != FIT_RGBA16) {
    // Grey 16-bit and floating-point images reach 24 bits through 8 bits.
    image.reset(FreeImage_ConvertToStandardType(image.get(), TRUE));
    if (!image) return image;
  }
  return Bitmap(FreeImage_ConvertTo24Bits(image.get()));
}

bool compositeOver(const Bitmap& image, const Bitmap& layer, long long left, long long top) {
  if (!image || !layer || image.bpp() != 24 || layer.bpp() != 32) return false;
  const long long imageWidth = image.width(), imageHeight = image.height();
  const long long layerWidth = layer.width(), layerHeight = layer.height();
  if (left < 0 || top < 0 || left + layerWidth > imageWidth || top + layerHeight > imageHeight) {
    return false;
  }
  for (long long y = 0; y < layerHeight; ++y) {
    // FreeImage rows run bottom-up.
    const BYTE* source = FreeImage_GetScanLine(layer.get(), static_cast<int>(layerHeight - 1 - y));
    BYTE* target = FreeImage_GetScanLine(image.get(), static_cast<int>(imageHeight - 1 - (top + y)));
    target += left * 3;
    for (long long x = 0; x < layerWidth; ++x, source += 4, target += 3) {
      const unsigned alpha = source[FI_RGBA_ALPHA];
      if (alpha == 0) continue;
      if (alpha == 255) {
        target[FI_RGBA_RED] = source[FI_RGBA_RED];
        target[FI_RGBA_GREEN] = source[FI_RGBA_GREEN];
        target[FI_RGBA_BLUE] = source[FI_RGBA_BLUE];
        continue;
      }
      const unsigned rest = 255 - alpha;
      target[FI_RGBA_RED] = static_cast<BYTE>((alpha * source[FI_RGBA_RED] + rest * target[FI_RGBA_RED]) >> 8);
      target[FI_RGBA_GREEN] =
          static_cast<BYTE>((alpha * source[FI_RGBA_GREEN] + rest * target[FI_RGBA_GREEN]) >> 8);
      target[FI_RGBA_BLUE] = static_cast<BYTE>((alpha * source[FI_RGBA_BLUE] + rest * target[FI_RGBA_BLUE]) >> 8);
    }
  }
  return true;
}

}  // namespace quorbix
