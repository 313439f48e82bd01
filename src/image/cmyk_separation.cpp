#include "image/cmyk_separation.h"

#include <FreeImage.h>

#include <algorithm>
#include <cmath>

namespace quorbix {
namespace {

struct Rgb {
  double r, g, b;  // 0..1
};

// Pixel x of a scan line, as 0..1 values.
Rgb pixelAt(FREE_IMAGE_TYPE type, unsigned bytesPerPixel, const BYTE* line, unsigned x) {
  switch (type) {
    case FIT_RGB16:
    case FIT_RGBA16: {
      const auto* p = reinterpret_cast<const WORD*>(line + x * bytesPerPixel);
      return {p[0] / 65535.0, p[1] / 65535.0, p[2] / 65535.0};
    }
    case FIT_RGBF:
    case FIT_RGBAF: {
      const auto* p = reinterpret_cast<const float*>(line + x * bytesPerPixel);
      auto unit = [](float v) { return std::clamp(static_cast<double>(v), 0.0, 1.0); };
      return {unit(p[0]), unit(p[1]), unit(p[2])};
    }
    default: {
      const BYTE* p = line + x * bytesPerPixel;
      return {p[FI_RGBA_RED] / 255.0, p[FI_RGBA_GREEN] / 255.0, p[FI_RGBA_BLUE] / 255.0};
    }
  }
}

template <typename Ink>
void putInks(Ink* out, const Rgb& rgb, double full) {
  const double brightest = std::max({rgb.r, rgb.g, rgb.b});
  const auto ink = [full](double amount) { return static_cast<Ink>(std::lround(amount * full)); };
  out[3] = ink(1.0 - brightest);
  if (brightest <= 0.0) {
    out[0] = out[1] = out[2] = 0;
    return;
  }
  out[0] = ink((brightest - rgb.r) / brightest);
  out[1] = ink((brightest - rgb.g) / brightest);
  out[2] = ink((brightest - rgb.b) / brightest);
}

}  // namespace

Bitmap separateCmyk(Bitmap image) {
  if (!image) return image;
  FIBITMAP* source = image.get();
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(source);
  const FREE_IMAGE_COLOR_TYPE colors = FreeImage_GetColorType(source);
  const bool eightBitRgb = type == FIT_BITMAP && (colors == FIC_RGB || colors == FIC_RGBALPHA) &&
                           (image.bpp() == 24 || image.bpp() == 32);
  const bool wideRgb = type == FIT_RGB16 || type == FIT_RGBA16 || type == FIT_RGBF || type == FIT_RGBAF;
  if (!eightBitRgb && !wideRgb) return image;

  const unsigned width = image.width();
  const unsigned height = image.height();
  Bitmap inks(eightBitRgb ? FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 32)
                          : FreeImage_AllocateT(FIT_RGBA16, static_cast<int>(width), static_cast<int>(height)));
  if (!inks) return Bitmap();
  const unsigned bytesPerPixel = image.bpp() / 8;
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* in = FreeImage_GetScanLine(source, static_cast<int>(y));
    BYTE* out = FreeImage_GetScanLine(inks.get(), static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) {
      const Rgb rgb = pixelAt(type, bytesPerPixel, in, x);
      if (eightBitRgb) {
        putInks(out + 4 * x, rgb, 255.0);
      } else {
        putInks(reinterpret_cast<WORD*>(out) + 4 * x, rgb, 65535.0);
      }
    }
  }
  FreeImage_SetDotsPerMeterX(inks.get(), FreeImage_GetDotsPerMeterX(source));
  FreeImage_SetDotsPerMeterY(inks.get(), FreeImage_GetDotsPerMeterY(source));
  FreeImage_CloneMetadata(inks.get(), source);
  return inks;
}

}  // namespace quorbix
