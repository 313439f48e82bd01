// The image operations of the per-file chain, called by convertFile in this
// order: rotate, resize, flip, adjust, greyscale, threshold, frame, watermark.
//
// One shape for every operation:
//   Bitmap <name>Image(Bitmap image, [size the caller measured,] const <Group>& settings
//                      [, inputs the file's conversion settled])
// where <Group> is the operation's own group of the settings (RotateOptions
// for rotateImage, ...); nothing else of the run is seen.
//
// Ownership rule, shared by every operation: an operation takes the current
// bitmap by value (it owns it from then on) and returns the bitmap to go on
// with. That is the same bitmap when there is nothing to do or the work is
// done in place, or a new one, in which case the old one has been released.
// An empty Bitmap ("no image") is passed through unchanged; an operation that
// cannot produce an image returns an empty Bitmap and the file then fails at
// saving. Operations print nothing, never throw, and read only the settings
// they are given. They run on any thread, several files at once.
#pragma once

#include <string>

#include "drawing/font.h"
#include "image/bitmap.h"
#include "settings/settings.h"

namespace quorbix {

Bitmap rotateImage(Bitmap image, const RotateOptions& settings);

// `width` and `height` are the current size as the caller measured it.
Bitmap resizeImage(Bitmap image, int width, int height, const ResizeOptions& settings);

// Mirrors in place.
Bitmap flipImage(Bitmap image, const FlipOptions& settings);

Bitmap adjustImage(Bitmap image, const AdjustOptions& settings);
Bitmap greyscaleImage(Bitmap image, const GreyscaleOptions& settings);
Bitmap thresholdImage(Bitmap image, const ThresholdOptions& settings);

// `width` and `height`: the size measured after resizing.
Bitmap frameImage(Bitmap image, int width, int height, const FrameOptions& settings);

// What the watermark takes beyond its own settings, settled by the file's
// conversion: the frame (a "FRAME" boundary keeps the watermark inside it),
// the text with this file's placeholders replaced, and the run's font for it
// (nullptr: no text watermark is drawn).
struct WatermarkInputs {
  const FrameOptions& frame;
  std::string text;
  const drawing::Font* font = nullptr;
};

// Text or picture watermark, per settings.watermark; `width` and `height` as
// for the frame. No image when the font of the text cannot be drawn at its
// size.
Bitmap watermarkImage(Bitmap image, int width, int height, const WatermarkOptions& settings,
                      const WatermarkInputs& inputs);

}  // namespace quorbix
