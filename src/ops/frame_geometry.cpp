#include "ops/frame_geometry.h"

#include <algorithm>

#include "ops/color.h"

namespace quorbix {
namespace {

int clampWidth(int width) { return std::clamp(width, 0, kMaxFrameWidth); }

drawing::Color sideColor(const std::string& text) {
  Rgba c = parseColor(text, 255);
  return {c.r, c.g, c.b, c.a};
}

}  // namespace

FrameWidths frameWidths(const FrameOptions& settings) {
  return {clampWidth(settings.frSolidLeft), clampWidth(settings.frSolidRight),
          clampWidth(settings.frSolidTop), clampWidth(settings.frSolidBottom)};
}

std::vector<PixelRect> frameBands(const FrameWidths& widths, int width, int height) {
  std::vector<PixelRect> bands;
  if (width < 1 || height < 1) return bands;
  const int topEnd = std::min(widths.top, height);
  const int bottomStart = std::max(height - widths.bottom, topEnd);
  const int leftEnd = std::min(widths.left, width);
  const int rightStart = std::max(width - widths.right, leftEnd);
  const PixelRect candidates[] = {
      {0, 0, width, topEnd},
      {0, bottomStart, width, height - bottomStart},
      {0, topEnd, leftEnd, bottomStart - topEnd},
      {rightStart, topEnd, width - rightStart, bottomStart - topEnd},
  };
  for (const PixelRect& band : candidates) {
    if (band.width > 0 && band.height > 0) bands.push_back(band);
  }
  return bands;
}

void drawFrameShapes(drawing::Canvas& canvas, const FrameWidths& widths, int width, int height,
                     const FrameOptions& settings) {
  const double W = width, H = height;
  const double L = widths.left, R = widths.right, T = widths.top, B = widths.bottom;
  const drawing::Color top = sideColor(settings.frSolidTopColor);
  const drawing::Color right = sideColor(settings.frSolidRightColor);
  const drawing::Color bottom = sideColor(settings.frSolidBottomColor);
  const drawing::Color left = sideColor(settings.frSolidLeftColor);

  // Corner squares: they fill the seam that anti-aliasing leaves along the
  // corner diagonals where two sides meet.
  canvas.fillRectangle(0, 0, L, T, top);
  canvas.fillRectangle(W - R, 0, R, T, right);
  canvas.fillRectangle(W - R, H - B, R, B, bottom);
  canvas.fillRectangle(0, H - B, L, B, left);

  canvas.fillPolygon({{0, 0}, {W, 0}, {W - R, T}, {L, T}}, top);
  canvas.fillPolygon({{W, 0}, {W, H}, {W - R, H - B}, {W - R, T}}, right);
  canvas.fillPolygon({{W, H}, {0, H}, {L, H - B}, {W - R, H - B}}, bottom);
  canvas.fillPolygon({{0, H}, {0, 0}, {L, T}, {L, H - B}}, left);
}

}  // namespace quorbix
