// The solid frame's geometry: the side widths as the frame and the
// watermark's "FRAME" boundary use them, the mitred shapes, and the bands of
// the image that the shapes can touch.
#pragma once

#include <vector>

#include "drawing/canvas.h"
#include "settings/settings.h"

namespace quorbix {

// Widths beyond this are taken as this (far wider than any picture).
inline constexpr int kMaxFrameWidth = 1 << 20;

struct FrameWidths {
  int left = 0, right = 0, top = 0, bottom = 0;
};

// The four side widths of the frame; a negative width counts as 0.
FrameWidths frameWidths(const FrameOptions& settings);

struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
};

// Non-overlapping rectangles of a width x height image that together hold
// every pixel the frame can touch (top band, bottom band, then the left and
// right bands between them); empty ones are left out.
std::vector<PixelRect> frameBands(const FrameWidths& widths, int width, int height);

// Fills the corner squares and then the four side polygons, in that order,
// on `canvas` (whose origin may be set to draw one part of the frame).
void drawFrameShapes(drawing::Canvas& canvas, const FrameWidths& widths, int width, int height,
                     const FrameOptions& settings);

}  // namespace quorbix
