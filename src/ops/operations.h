// The image operations of the per-file chain, called by convertFile in this
// order: rotate, resize, flip, adjust, greyscale, threshold, frame, watermark.
//
// Ownership rule, shared by every operation: an operation takes the current
// bitmap by value (it owns it from then on) and returns the bitmap to go on
// with. That is the same bitmap when there is nothing to do, or a new one, in
// which case the old one has been released. An empty Bitmap ("no image") is
// passed through unchanged; an operation that cannot produce an image returns
// an empty Bitmap and the file then fails at saving. Operations print nothing,
// never throw, and read only the settings they are given. They run on the
// worker thread, one file at a time.
#pragma once

#include "image/bitmap.h"
#include "settings/settings.h"

namespace quorbix {

Bitmap rotateImage(Bitmap image, const Settings& settings);

// `width` and `height` are the current size as the caller measured it.
Bitmap resizeImage(Bitmap image, int width, int height, const Settings& settings);

// Mirrors in place.
void flipImage(const Bitmap& image, const Settings& settings);

Bitmap adjustImage(Bitmap image, const Settings& settings);
Bitmap greyscaleImage(Bitmap image, const Settings& settings);
Bitmap thresholdImage(Bitmap image, const Settings& settings);

// `width` and `height`: the size measured after resizing.
Bitmap frameImage(Bitmap image, int width, int height, const Settings& settings);

// Text or picture watermark, per settings.watermark. Reads the per-file fields
// of `settings` for the placeholders of the text. No image when the font of
// the text cannot be drawn at its size.
Bitmap watermarkImage(Bitmap image, int width, int height, const Settings& settings);

}  // namespace quorbix
