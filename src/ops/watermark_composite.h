// Pixel steps shared by the frame and the watermarks: bringing the image to
// 24 bits, and blending a 32-bit layer over part of it.
#pragma once

#include "image/bitmap.h"

namespace quorbix {

// The image as 24-bit RGB (any alpha dropped); the same bitmap when it is
// 24-bit already. Empty when FreeImage cannot convert it.
Bitmap toRgb24(Bitmap image);

// Blends `layer` (32-bit, straight alpha) over the 24-bit `image` with the
// layer's top-left corner on image pixel (left, top), counted from the top.
// The arithmetic is FreeImage_Composite's: alpha 0 keeps the image pixel,
// 255 takes the layer's, anything between gives
// (alpha x layer + (255 - alpha) x image) >> 8. The layer must lie wholly
// inside the image; returns false (and changes nothing) otherwise.
bool compositeOver(const Bitmap& image, const Bitmap& layer, long long left, long long top);

}  // namespace quorbix
