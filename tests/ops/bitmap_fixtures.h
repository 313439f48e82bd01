// Small synthetic bitmaps and pixel access for the operation tests. Rows are
// FreeImage scan lines (y = 0 is the bottom row).
#pragma once

#include <FreeImage.h>

#include "image/bitmap.h"
#include "settings/settings.h"

namespace quorbix::test {

struct Rgb {
  BYTE r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// A standard bitmap of `bpp` bits filled with `fill`; 8-bit ones get a
// greyscale palette, 1-bit ones black and white.
inline Bitmap makeBitmap(unsigned width, unsigned height, unsigned bpp, Rgb fill = {}) {
  Bitmap image(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height),
                                  static_cast<int>(bpp)));
  if (!image) return image;
  if (bpp <= 8) {
    const unsigned colours = 1u << bpp;
    RGBQUAD* palette = FreeImage_GetPalette(image.get());
    for (unsigned i = 0; i < colours; ++i) {
      const auto v = static_cast<BYTE>(i * 255 / (colours - 1));
      palette[i] = RGBQUAD{v, v, v, 0};
    }
  }
  if (bpp >= 24) {
    RGBQUAD color{fill.b, fill.g, fill.r, 255};
    FreeImage_FillBackground(image.get(), &color);
  } else if (bpp == 8) {
    for (unsigned y = 0; y < height; ++y) {
      BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(y));
      for (unsigned x = 0; x < width; ++x) row[x] = fill.r;
    }
  }
  return image;
}

// A 48-bit RGB picture (FIT_RGB16) filled with `value` in every channel.
inline Bitmap makeRgb16(unsigned width, unsigned height, WORD value) {
  Bitmap image(FreeImage_AllocateT(FIT_RGB16, static_cast<int>(width), static_cast<int>(height)));
  for (unsigned y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(image.get(), static_cast<int>(y)));
    for (unsigned x = 0; x < width; ++x) row[x] = FIRGB16{value, value, value};
  }
  return image;
}

inline void setRgb(const Bitmap& image, unsigned x, unsigned y, Rgb c, BYTE alpha = 255) {
  RGBQUAD q{c.b, c.g, c.r, alpha};
  FreeImage_SetPixelColor(image.get(), x, y, &q);
}

inline Rgb rgbAt(const Bitmap& image, unsigned x, unsigned y) {
  RGBQUAD q{};
  FreeImage_GetPixelColor(image.get(), x, y, &q);
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

inline BYTE alphaAt(const Bitmap& image, unsigned x, unsigned y) {
  RGBQUAD q{};
  FreeImage_GetPixelColor(image.get(), x, y, &q);
  return q.rgbReserved;
}

// Palette index (1-, 4- and 8-bit pictures).
inline BYTE indexAt(const Bitmap& image, unsigned x, unsigned y) {
  BYTE value = 0;
  FreeImage_GetPixelIndex(image.get(), x, y, &value);
  return value;
}

inline void setIndex(const Bitmap& image, unsigned x, unsigned y, BYTE value) {
  FreeImage_SetPixelIndex(image.get(), x, y, &value);
}

}  // namespace quorbix::test
