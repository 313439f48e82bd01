// Small synthetic bitmaps and pixel access for the tests of the operations,
// the drawing and the runs that deliver a picture.
//
// Two ways of addressing pixels live side by side: the operation tests use
// FreeImage scan lines (y = 0 is the bottom row; Rgb, makeBitmap, rgbAt...),
// the drawing tests count y from the top-left corner (Rgba, solidBitmap,
// pixelAt...).
#pragma once

#include <FreeImage.h>

#include <cstdint>

#include "image/bitmap.h"
#include "ops/color.h"
#include "settings/settings.h"

namespace quorbix::test {

// --- Scan-line order (y = 0 is the bottom row) ---

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

// A 24-bit gradient: red rises from 0 at the left to 255 at the right,
// green from 0 at the bottom row to 255 at the top row, blue is 128.
inline Bitmap gradientBitmap(int width, int height) {
  Bitmap bitmap(FreeImage_Allocate(width, height, 24));
  if (!bitmap) return bitmap;
  for (int y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(bitmap.get(), y);
    for (int x = 0; x < width; ++x) {
      line[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(x * 255 / (width > 1 ? width - 1 : 1));
      line[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(y * 255 / (height > 1 ? height - 1 : 1));
      line[x * 3 + FI_RGBA_BLUE] = 128;
    }
  }
  return bitmap;
}

// --- Top-down order (y = 0 is the top row) ---

inline Bitmap solidBitmap(int width, int height, int bpp, Rgba color) {
  Bitmap bitmap(FreeImage_Allocate(width, height, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                   FI_RGBA_BLUE_MASK));
  const int step = bpp / 8;
  for (int y = 0; y < height; ++y) {
    BYTE* p = FreeImage_GetScanLine(bitmap.get(), y);
    for (int x = 0; x < width; ++x, p += step) {
      p[FI_RGBA_RED] = color.r;
      p[FI_RGBA_GREEN] = color.g;
      p[FI_RGBA_BLUE] = color.b;
      if (step == 4) p[FI_RGBA_ALPHA] = color.a;
    }
  }
  return bitmap;
}

inline Rgba pixelAt(const Bitmap& bitmap, int x, int y) {
  const int step = static_cast<int>(bitmap.bpp()) / 8;
  const BYTE* p = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(bitmap.height()) - 1 - y) + x * step;
  return {p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE],
          static_cast<uint8_t>(step == 4 ? p[FI_RGBA_ALPHA] : 255)};
}

inline void setPixel(const Bitmap& bitmap, int x, int y, Rgba c) {
  const int step = static_cast<int>(bitmap.bpp()) / 8;
  BYTE* p = FreeImage_GetScanLine(bitmap.get(), static_cast<int>(bitmap.height()) - 1 - y) + x * step;
  p[FI_RGBA_RED] = c.r;
  p[FI_RGBA_GREEN] = c.g;
  p[FI_RGBA_BLUE] = c.b;
  if (step == 4) p[FI_RGBA_ALPHA] = c.a;
}

// A 24-bit bitmap of pseudo-random pixels (the same for the same seed).
inline Bitmap noiseBitmap(int width, int height, uint32_t seed) {
  Bitmap bitmap = solidBitmap(width, height, 24, {});
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      seed = seed * 1664525u + 1013904223u;
      setPixel(bitmap, x, y, {uint8_t(seed >> 24), uint8_t(seed >> 16), uint8_t(seed >> 8), 255});
    }
  }
  return bitmap;
}

// Bounding box of the pixels where `a` and `b` differ; empty() when none do.
struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  bool empty() const { return right < left; }
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

inline Box differingBox(const Bitmap& a, const Bitmap& b) {
  Box box;
  for (int y = 0; y < static_cast<int>(a.height()); ++y) {
    for (int x = 0; x < static_cast<int>(a.width()); ++x) {
      if (pixelAt(a, x, y) == pixelAt(b, x, y)) continue;
      box.left = x < box.left ? x : box.left;
      box.right = x > box.right ? x : box.right;
      box.top = y < box.top ? y : box.top;
      box.bottom = y > box.bottom ? y : box.bottom;
    }
  }
  return box;
}

inline bool samePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height() || a.bpp() != b.bpp()) return false;
  for (unsigned y = 0; y < a.height(); ++y) {
    const BYTE* pa = FreeImage_GetScanLine(a.get(), static_cast<int>(y));
    const BYTE* pb = FreeImage_GetScanLine(b.get(), static_cast<int>(y));
    for (unsigned i = 0; i < FreeImage_GetLine(a.get()); ++i) {
      if (pa[i] != pb[i]) return false;
    }
  }
  return true;
}

inline Bitmap cloneBitmap(const Bitmap& b) { return Bitmap(FreeImage_Clone(b.get())); }

}  // namespace quorbix::test
