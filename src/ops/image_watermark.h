// Rendering of the picture watermark into a 32-bit layer: the picture file
// read anew for every converted image, its alpha scaled by the opacity,
// optionally turned grey.
#pragma once

#include <cstdint>

#include "image/bitmap.h"
#include "ops/watermark_placement.h"
#include "settings/settings.h"

namespace quorbix {

// Grey value of a colour: (77 R + 150 G + 29 B) >> 8.
uint8_t watermarkGrey(uint8_t r, uint8_t g, uint8_t b);

// Turns a 32-bit `picture` into the watermark layer in place: each pixel
// keeps its colour (or becomes grey) and its alpha is scaled by
// opacity / 255 (rounded; the opacity clamped to 0..255).
void applyLayerStyle(const Bitmap& picture, int opacity, bool greyscale);

// The layer of the picture `settings.wmImage`, or only its top-left `limit`
// part when that is smaller. Empty when the picture cannot be read (missing,
// damaged, not a picture, too large) or nothing of it can be seen.
Bitmap renderImageWatermark(const PictureWatermarkOptions& settings, const Extent& limit);

}  // namespace quorbix
