// The ink separation behind `--tiff-color-model=CMYK`: an RGB picture becomes
// a four-channel CMYK one that FreeImage's TIFF writer (with TIFF_CMYK)
// stores as a separated picture. A plain separation without a profile:
// K = 1 - max(R, G, B), then C, M and Y from what is left, so that a reader
// multiplying (1 - C)(1 - K) and so on gets the RGB values back.
#pragma once

#include "image/bitmap.h"

namespace quorbix {

// Takes an RGB(A) picture (8 bits a channel: 8-bit inks; 16 bits or floating
// point: 16-bit inks) and returns its separation, alpha dropped; resolution
// and metadata are kept. Greyscale, palette and 1-bit pictures come back
// unchanged; empty when memory runs out. Follows the operations' ownership
// rule (ops/operations.h).
Bitmap separateCmyk(Bitmap image);

}  // namespace quorbix
