#include "ops/watermark_placement.h"

#include "image/transforms.h"
#include "ops/frame_geometry.h"
#include "ops/watermark_composite.h"

namespace quorbix {

WatermarkPlacement textPlacement(const TextWatermarkOptions& s) {
  return {s.wmTextRotation, s.wmTextBoundary, s.wmTextPosition, s.wmTextXOffset, s.wmTextYOffset};
}

WatermarkPlacement imagePlacement(const PictureWatermarkOptions& s) {
  return {s.wmImageRotation, s.wmImageBoundary, s.wmImagePosition, s.wmImageXOffset, s.wmImageYOffset};
}

bool rotatesWatermark(int angle) { return angle >= 1 && angle <= 359; }

Room watermarkRoom(const FrameOptions& settings, uint8_t boundary, int width, int height) {
  Room room{0, 0, width, height};
  if (boundary == BOUNDARY_FRAME && settings.frame != FRAME_NONE) {
    const FrameWidths frame = frameWidths(settings);
    room.left = frame.left;
    room.top = frame.top;
    room.width = static_cast<long long>(width) - frame.left - frame.right;
    room.height = static_cast<long long>(height) - frame.top - frame.bottom;
  }
  return room;
}

Extent visibleExtent(const Room& room, const WatermarkPlacement& placement) {
  return {room.width - placement.xOffset, room.height - placement.yOffset};
}

ImagePoint watermarkPosition(const Room& room, const WatermarkPlacement& p, long long ww, long long wh) {
  const long long ox = p.xOffset, oy = p.yOffset;
  const long long left = ox, center = (room.width - ww) / 2, right = room.width - ww - ox;
  const long long top = oy, middle = (room.height - wh) / 2, bottom = room.height - wh - oy;
  ImagePoint at;
  switch (p.position) {
    case POS_TOPLEFT: at = {left, top}; break;
    case POS_TOPCENTER: at = {center, top}; break;
    case POS_TOPRIGHT: at = {right, top}; break;
    case POS_MIDDLELEFT: at = {left, middle}; break;
    case POS_MIDDLECENTER: at = {center, middle}; break;
    case POS_MIDDLERIGHT: at = {right, middle}; break;
    case POS_BOTTOMLEFT: at = {left, bottom}; break;
    case POS_BOTTOMCENTER: at = {center, bottom}; break;
    case POS_BOTTOMRIGHT: at = {right, bottom}; break;
    default: at = {0, 0}; break;
  }
  at.x += room.left;
  at.y += room.top;
  return at;
}

Bitmap placeWatermark(Bitmap image, Bitmap watermark, int width, int height,
                      const WatermarkPlacement& placement, const Room& room) {
  if (!image || !watermark) return image;
  if (rotatesWatermark(placement.rotation)) {
    // Grows to hold the turned block; the uncovered corners stay transparent.
    watermark = rotate(watermark, placement.rotation);
    if (!watermark) return image;
  }

  // The crop keeps the top-left part and uses the offsets whatever the
  // position keyword.
  long long ww = watermark.width(), wh = watermark.height();
  const Extent visible = visibleExtent(room, placement);
  bool cropped = false;
  if (ww > visible.width) ww = visible.width, cropped = true;
  if (wh > visible.height) wh = visible.height, cropped = true;
  if (cropped) {
    if (ww <= 0 || wh <= 0) return image;
    watermark = copyRect(watermark, 0, 0, static_cast<int>(ww), static_cast<int>(wh));
    if (!watermark) return image;
  }

  const ImagePoint at = watermarkPosition(room, placement, ww, wh);
  if (image.width() != static_cast<unsigned>(width) || image.height() != static_cast<unsigned>(height)) {
    return Bitmap();
  }
  // A watermark reaching outside the image is not drawn at all. Inside, it
  // is laid onto the empty image-sized canvas as it is and blended by its
  // alpha; the canvas is left out since outside the watermark it would
  // leave the image unchanged. (FreeImage_Paste with alpha 255 would not lay
  // it on as it is: it scales every channel, alpha included, by 255/256, so
  // an opaque watermark would let the image through and darken.)
  compositeOver(image, watermark, at.x, at.y);
  return image;
}

}  // namespace quorbix
