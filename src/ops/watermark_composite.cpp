#include "ops/watermark_composite.h"

#include "image/transforms.h"

namespace quorbix {

Bitmap toRgb24(Bitmap image) {
  if (!image) return image;
  const SampleType type = image.type();
  if (type == SampleType::Standard && image.bpp() == 24) return image;
  if (type != SampleType::Standard && type != SampleType::Rgb16 && type != SampleType::Rgba16) {
    // Grey 16-bit and floating-point images reach 24 bits through 8 bits.
    image = convertToStandardType(image, true);
    if (!image) return image;
  }
  return convertTo24Bits(image);
}

bool compositeOver(const Bitmap& image, const Bitmap& layer, long long left, long long top) {
  if (!image || !layer || image.bpp() != 24 || layer.bpp() != 32) return false;
  const long long imageWidth = image.width(), imageHeight = image.height();
  const long long layerWidth = layer.width(), layerHeight = layer.height();
  if (left < 0 || top < 0 || left + layerWidth > imageWidth || top + layerHeight > imageHeight) {
    return false;
  }
  for (long long y = 0; y < layerHeight; ++y) {
    // Scan lines run bottom-up.
    const uint8_t* source = layer.scanLine(static_cast<unsigned>(layerHeight - 1 - y));
    uint8_t* target = image.scanLine(static_cast<unsigned>(imageHeight - 1 - (top + y)));
    target += left * 3;
    for (long long x = 0; x < layerWidth; ++x, source += 4, target += 3) {
      const unsigned alpha = source[kAlphaByte];
      if (alpha == 0) continue;
      if (alpha == 255) {
        target[kRedByte] = source[kRedByte];
        target[kGreenByte] = source[kGreenByte];
        target[kBlueByte] = source[kBlueByte];
        continue;
      }
      const unsigned rest = 255 - alpha;
      target[kRedByte] = static_cast<uint8_t>((alpha * source[kRedByte] + rest * target[kRedByte]) >> 8);
      target[kGreenByte] =
          static_cast<uint8_t>((alpha * source[kGreenByte] + rest * target[kGreenByte]) >> 8);
      target[kBlueByte] = static_cast<uint8_t>((alpha * source[kBlueByte] + rest * target[kBlueByte]) >> 8);
    }
  }
  return true;
}

}  // namespace quorbix
