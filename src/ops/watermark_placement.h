// Placement shared by the text and the picture watermark: rotation, the room
// the watermark may use, the crop to that room, the position keyword, and the
// blend over the image (only when the watermark lies wholly inside it).
#pragma once

#include <cstdint>

#include "image/bitmap.h"
#include "settings/settings.h"

namespace quorbix {

// The settings of the active watermark kind.
struct WatermarkPlacement {
  int rotation = 0;
  uint8_t boundary = BOUNDARY_IMAGE;
  uint8_t position = POS_BOTTOMRIGHT;
  int xOffset = 0;
  int yOffset = 0;
};

WatermarkPlacement textPlacement(const TextWatermarkOptions& settings);
WatermarkPlacement imagePlacement(const PictureWatermarkOptions& settings);

// True for the angles that rotate the watermark (1 to 359).
bool rotatesWatermark(int angle);

// The area positions refer to: the whole width x height image, or the
// inside of the frame `settings` with the "FRAME" boundary while a frame is
// on.
struct Room {
  long long left = 0, top = 0, width = 0, height = 0;
};
Room watermarkRoom(const FrameOptions& settings, uint8_t boundary, int width, int height);

// The largest top-left part of an unrotated watermark that can survive the
// crop to the room; a larger watermark need only be rendered this far.
struct Extent {
  long long width = 0, height = 0;
};
Extent visibleExtent(const Room& room, const WatermarkPlacement& placement);

struct ImagePoint {
  long long x = 0, y = 0;
  bool operator==(const ImagePoint&) const = default;
};
// Top-left corner in image pixels of a (cropped) watermark of the given size.
ImagePoint watermarkPosition(const Room& room, const WatermarkPlacement& placement,
                           long long watermarkWidth, long long watermarkHeight);

// Rotates, crops, positions and blends `watermark` (32-bit) over the 24-bit
// `image` of the measured size width x height. Returns the image with or
// without the watermark; an empty Bitmap only when the image does not have
// the measured size (it cannot take a layer of that size).
Bitmap placeWatermark(Bitmap image, Bitmap watermark, int width, int height,
                      const WatermarkPlacement& placement, const Room& room);

}  // namespace quorbix
