// The solid frame: four mitred sides painted over the picture's edges.
//
// Only the bands along the edges can be touched by the frame, so the overlay
// is drawn tile by tile over those bands instead of as one image-sized
// layer; every tile is drawn with the whole frame geometry shifted by the
// tile's position, which gives the same pixels as the full overlay.
#include <algorithm>
#include <utility>
#include <vector>

#include "drawing/canvas.h"
#include "ops/frame_geometry.h"
#include "ops/operations.h"
#include "ops/watermark_composite.h"

namespace quorbix {
namespace {

constexpr int kTileSide = 2048;

struct RenderedTile {
  Bitmap layer;
  PixelRect rect;
};

std::vector<PixelRect> tilesOf(const PixelRect& band) {
  std::vector<PixelRect> tiles;
  for (int y = 0; y < band.height; y += kTileSide) {
    for (int x = 0; x < band.width; x += kTileSide) {
      tiles.push_back({band.left + x, band.top + y, std::min(kTileSide, band.width - x),
                       std::min(kTileSide, band.height - y)});
    }
  }
  return tiles;
}

// The faded overlay of one tile as a 32-bit bitmap, or an empty Bitmap.
Bitmap renderTile(const PixelRect& tile, const FrameWidths& widths, int width, int height,
                  int opacity, const FrameOptions& settings) {
  auto overlay = drawing::Canvas::create(tile.width, tile.height);
  if (overlay == nullptr) return Bitmap();
  overlay->setOrigin(tile.left, tile.top);
  drawFrameShapes(*overlay, widths, width, height, settings);
  if (opacity == 255) return overlay->toBitmap();  // fading by 255 changes nothing
  auto faded = drawing::Canvas::create(tile.width, tile.height);
  if (faded == nullptr) return Bitmap();
  faded->paint(*overlay, opacity);
  return faded->toBitmap();
}

}  // namespace

Bitmap frameImage(Bitmap image, int width, int height, const FrameOptions& settings) {
  if (settings.frame == FRAME_NONE || !image) return image;
  image = toRgb24(std::move(image));
  if (!image || settings.frame != FRAME_SOLID) return image;
  if (width < 1 || height < 1) return image;

  // Opacity outside 0..255 is taken as the nearest end.
  const int opacity = std::clamp(settings.frSolidOpacity, 0, 255);
  const FrameWidths widths = frameWidths(settings);

  // Every tile is rendered before any is blended: the frame is drawn whole
  // or not at all.
  std::vector<RenderedTile> tiles;
  for (const PixelRect& band : frameBands(widths, width, height)) {
    for (const PixelRect& tile : tilesOf(band)) {
      Bitmap layer = renderTile(tile, widths, width, height, opacity, settings);
      if (!layer) return image;
      tiles.push_back({std::move(layer), tile});
    }
  }
  // The overlay is blended over an image of the measured size; an image of
  // another size cannot take it and is lost, as the composite would lose it.
  if (image.width() != static_cast<unsigned>(width) || image.height() != static_cast<unsigned>(height)) {
    return Bitmap();
  }
  for (const RenderedTile& tile : tiles) compositeOver(image, tile.layer, tile.rect.left, tile.rect.top);
  return image;
}

}  // namespace quorbix
