// FreeImage's picture algorithms as the operations use them, one call each.
// The conversions return a new bitmap and leave the source as it is (empty
// when FreeImage cannot make it); the in-place ones return FreeImage's
// success. Safe on any thread for bitmaps of that thread.
#pragma once

#include <cstdint>

#include "image/bitmap.h"

namespace quorbix {

Bitmap convertTo24Bits(const Bitmap& image);
// Grey 16-bit and floating-point pictures as standard 8-bit ones, with the
// sample range scaled linearly (`scaleLinear`) or clamped.
Bitmap convertToStandardType(const Bitmap& image, bool scaleLinear);
// 8-bit greyscale; any alpha dropped.
Bitmap convertToGreyscale(const Bitmap& image);
// 1-bit: pixels darker than `level` black, the others white.
Bitmap threshold(const Bitmap& image, uint8_t level);

enum class ResizeFilter { Box, Bilinear, BSpline, Bicubic, CatmullRom, Lanczos3 };
Bitmap rescale(const Bitmap& image, int width, int height, ResizeFilter filter);

// Rotation by `angle` degrees (counter-clockwise) onto a canvas grown to hold
// the turned picture; the uncovered corners are transparent black.
Bitmap rotate(const Bitmap& image, double angle);
// The same with the corners filled with r, g, b and the fourth byte `extra`
// (the alpha of a 32-bit picture).
Bitmap rotate(const Bitmap& image, double angle, uint8_t r, uint8_t g, uint8_t b, uint8_t extra);
// Rotation about (xOrigin, yOrigin) and a shift on a canvas of the same size;
// without `useMask` the picture is mirrored into the uncovered area.
Bitmap rotateEx(const Bitmap& image, double angle, double xShift, double yShift, double xOrigin,
                double yOrigin, bool useMask);

// The part from (left, top) up to but not including (right, bottom), counted
// from the top-left corner.
Bitmap copyRect(const Bitmap& image, int left, int top, int right, int bottom);

// A new 32-bit RGBA bitmap, all pixels 0.
Bitmap allocateRgba(int width, int height);

// Brightness and contrast in percent, gamma and inversion, in place.
bool adjustColors(const Bitmap& image, double brightness, double contrast, double gamma, bool invert);
bool flipHorizontal(const Bitmap& image);
bool flipVertical(const Bitmap& image);

}  // namespace quorbix
