// Draws a mitred frame (corner squares and four trapezoids, as the frame
// operation draws them) in tiles with an origin, fades it, and writes the
// 32-bit pixels to the file named by the argument. Built for Linux and for
// Windows by scripts/check-windows-drawing.sh, which compares the two files:
// the canvas code and cairo are the same on both systems, so are the pixels.
#include <FreeImage.h>

#include <cstdio>
#include <vector>

#include "drawing/canvas.h"

using quorbix::Bitmap;
using quorbix::drawing::Canvas;
using quorbix::drawing::Color;

namespace {

constexpr int kWidth = 97;
constexpr int kHeight = 71;
constexpr int kTile = 40;

void drawFrame(Canvas& canvas) {
  const double W = kWidth, H = kHeight, L = 11.5, R = 7.25, T = 9.75, B = 13;
  const Color top{200, 30, 40, 255}, right{20, 180, 60, 230}, bottom{10, 40, 220, 160}, left{250, 250, 10, 90};
  canvas.fillRectangle(0, 0, L, T, top);
  canvas.fillRectangle(W - R, 0, R, T, right);
  canvas.fillRectangle(W - R, H - B, R, B, bottom);
  canvas.fillRectangle(0, H - B, L, B, left);
  canvas.fillPolygon({{0, 0}, {W, 0}, {W - R, T}, {L, T}}, top);
  canvas.fillPolygon({{W, 0}, {W, H}, {W - R, H - B}, {W - R, T}}, right);
  canvas.fillPolygon({{W, H}, {0, H}, {L, H - B}, {W - R, H - B}}, bottom);
  canvas.fillPolygon({{0, H}, {0, 0}, {L, T}, {L, H - B}}, left);
}

// One tile of the frame, faded to 3/4, under a half-transparent wash.
bool appendTile(int left, int top, int width, int height, std::vector<unsigned char>& out) {
  auto overlay = Canvas::create(width, height);
  auto faded = Canvas::create(width, height);
  if (!overlay || !faded) return false;
  overlay->setOrigin(left, top);
  drawFrame(*overlay);
  faded->fill({5, 6, 7, 40});
  faded->paint({90, 80, 70, 255}, 100);
  faded->paint(*overlay, 191);
  Bitmap bitmap = faded->toBitmap();
  if (!bitmap) return false;
  for (unsigned y = 0; y < bitmap.height(); ++y) {
    const unsigned char* line = bitmap.scanLine(y);
    out.insert(out.end(), line, line + bitmap.width() * 4);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: frame_pixels <output file>\n");
    return 2;
  }
  FreeImage_Initialise(FALSE);
  std::vector<unsigned char> pixels;
  for (int y = 0; y < kHeight; y += kTile) {
    for (int x = 0; x < kWidth; x += kTile) {
      const int w = kWidth - x < kTile ? kWidth - x : kTile;
      const int h = kHeight - y < kTile ? kHeight - y : kTile;
      if (!appendTile(x, y, w, h, pixels)) {
        std::fprintf(stderr, "frame_pixels: a canvas failed\n");
        return 1;
      }
    }
  }
  FreeImage_DeInitialise();
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) return 1;
  const bool written = std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}
