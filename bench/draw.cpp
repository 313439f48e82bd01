// Times the frame plus the text watermark on a 2048 x 3072 picture, the
// size of a PhotoCD 16Base scan, and for comparison the same work done the
// straightforward way (image-sized overlay and canvas, FreeImage composites).
//
//   bench_draw [repetitions]
#include <FreeImage.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "drawing/canvas.h"
#include "drawing/font.h"
#include "ops/frame_geometry.h"
#include "ops/operations.h"

using namespace quorbix;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 2048;
constexpr int kHeight = 3072;

Bitmap makePicture() {
  Bitmap picture(FreeImage_Allocate(kWidth, kHeight, 24));
  uint32_t seed = 1;
  for (int y = 0; y < kHeight; ++y) {
    BYTE* p = FreeImage_GetScanLine(picture.get(), y);
    for (unsigned i = 0; i < FreeImage_GetLine(picture.get()); ++i) {
      seed = seed * 1664525u + 1013904223u;
      p[i] = static_cast<BYTE>(seed >> 24);
    }
  }
  return picture;
}

// The settings with the run's font for the text.
struct DrawSettings : Settings {
  std::shared_ptr<drawing::Font> watermarkFont;
};

DrawSettings makeSettings() {
  DrawSettings s;
  s.frame.frame = FRAME_SOLID;
  s.frame.frSolidLeft = s.frame.frSolidRight = s.frame.frSolidTop = s.frame.frSolidBottom = 40;
  s.frame.frSolidTopColor = "8B4513";
  s.frame.frSolidLeftColor = "A0522D";
  s.frame.frSolidOpacity = 220;
  s.watermark.watermark = WATERMARK_TEXT;
  s.watermark.text.wmText = "(c) 2026 Vellumora Quorbix%eol%All rights reserved";
  s.watermark.text.wmTextAntialiasing = true;
  s.watermark.text.wmBackOpacity = 96;
  s.watermark.text.wmTextPadding = 6;
  s.watermark.text.wmTextAlignment = ALIGN_CENTER;
  drawing::FontRequest request;
  request.face = "Arial";
  request.points = 28;
  s.watermarkFont = drawing::createFont(request);
  return s;
}

// The frame as one image-sized overlay and FreeImage_Composite: what the
// banded drawing replaces.
Bitmap frameTheLongWay(Bitmap image, const Settings& s) {
  auto overlay = drawing::Canvas::create(kWidth, kHeight);
  auto faded = drawing::Canvas::create(kWidth, kHeight);
  drawFrameShapes(*overlay, frameWidths(s.frame), kWidth, kHeight, s.frame);
  faded->paint(*overlay, s.frame.frSolidOpacity);
  Bitmap layer = faded->toBitmap();
  return Bitmap(FreeImage_Composite(layer.get(), FALSE, nullptr, image.get()));
}

double millis(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void report(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%-44s median %7.2f ms   min %7.2f ms   max %7.2f ms\n", what, times[times.size() / 2],
              times.front(), times.back());
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const DrawSettings settings = makeSettings();
  if (!settings.watermarkFont) {
    std::fprintf(stderr, "no font\n");
    return 1;
  }
  const Bitmap original = makePicture();

  std::vector<double> both, frameOnly, textOnly, longFrame;
  for (int i = 0; i <= repetitions; ++i) {
    Bitmap image(FreeImage_Clone(original.get()));
    Clock::time_point t0 = Clock::now();
    image = frameImage(std::move(image), kWidth, kHeight, settings.frame);
    Clock::time_point t1 = Clock::now();
    image = watermarkImage(std::move(image), kWidth, kHeight, settings.watermark,
                           {settings.frame, settings.watermark.text.wmText, settings.watermarkFont.get()});
    Clock::time_point t2 = Clock::now();
    if (!image) return 1;
    if (i == 0) {  // the first call loads the font files
      std::printf("first call (font loading included): frame %.2f ms, text watermark %.2f ms\n",
                  millis(t1 - t0), millis(t2 - t1));
      continue;
    }
    frameOnly.push_back(millis(t1 - t0));
    textOnly.push_back(millis(t2 - t1));
    both.push_back(millis(t2 - t0));

    Bitmap other(FreeImage_Clone(original.get()));
    Clock::time_point t3 = Clock::now();
    other = frameTheLongWay(std::move(other), settings);
    longFrame.push_back(millis(Clock::now() - t3));
  }
  // The banded frame must give the long way's pixels exactly.
  Bitmap banded = frameImage(Bitmap(FreeImage_Clone(original.get())), kWidth, kHeight, settings.frame);
  Bitmap longWay = frameTheLongWay(Bitmap(FreeImage_Clone(original.get())), settings);
  bool identical = true;
  for (int y = 0; y < kHeight && identical; ++y) {
    identical = std::equal(FreeImage_GetScanLine(banded.get(), y),
                           FreeImage_GetScanLine(banded.get(), y) + FreeImage_GetLine(banded.get()),
                           FreeImage_GetScanLine(longWay.get(), y));
  }
  std::printf("%d x %d, %d repetitions; banded frame identical to the long way: %s\n", kWidth, kHeight,
              repetitions, identical ? "yes" : "NO");
  report("frame + text watermark", both);
  report("  frame", frameOnly);
  report("  text watermark", textOnly);
  report("frame, image-sized overlay + FI composite", longFrame);
  return 0;
}
