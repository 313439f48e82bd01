#include "ops/image_watermark.h"

#include <algorithm>

#include "image/image_decoder.h"
#include "image/transforms.h"

namespace quorbix {

uint8_t watermarkGrey(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint8_t>((77u * r + 150u * g + 29u * b) >> 8);
}

void applyLayerStyle(const Bitmap& picture, int opacity, bool greyscale) {
  if (!picture || picture.bpp() != 32) return;
  const unsigned scale = static_cast<unsigned>(std::clamp(opacity, 0, 255));
  const unsigned width = picture.width(), height = picture.height();
  for (unsigned y = 0; y < height; ++y) {
    uint8_t* pixel = picture.scanLine(y);
    for (unsigned x = 0; x < width; ++x, pixel += 4) {
      if (greyscale) {
        const uint8_t grey = watermarkGrey(pixel[kRedByte], pixel[kGreenByte], pixel[kBlueByte]);
        pixel[kRedByte] = pixel[kGreenByte] = pixel[kBlueByte] = grey;
      }
      if (scale != 255) pixel[kAlphaByte] = static_cast<uint8_t>((pixel[kAlphaByte] * scale + 127) / 255);
    }
  }
}

Bitmap renderImageWatermark(const PictureWatermarkOptions& settings, const Extent& limit) {
  if (settings.wmImage.empty()) return Bitmap();
  Bitmap layer = decodePicture(settings.wmImage);
  if (!layer) return layer;
  // Only the part that can survive the crop is styled.
  const long long width = std::min<long long>(layer.width(), limit.width);
  const long long height = std::min<long long>(layer.height(), limit.height);
  if (width < 1 || height < 1) return Bitmap();
  if (width < layer.width() || height < layer.height()) {
    layer = copyRect(layer, 0, 0, static_cast<int>(width), static_cast<int>(height));
    if (!layer) return layer;
  }
  applyLayerStyle(layer, settings.wmImageOpacity, settings.wmImageGreyscale);
  return layer;
}

}  // namespace quorbix
