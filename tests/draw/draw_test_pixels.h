// Small pixel helpers for the drawing tests: solid bitmaps and pixel access
// by (x, y) counted from the top-left corner.
#pragma once

#include <FreeImage.h>

#include <cstdint>

#include "image/bitmap.h"
#include "ops/color.h"

namespace quorbix::test {

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
