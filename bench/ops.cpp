// Times each image operation of the per-file chain on a 2048 x 3072 24-bit
// picture (a 16Base PhotoCD scan turned upright). Each operation runs on a
// fresh copy; the copy is not timed. Prints the median of several runs.
//
//   bench_ops [runs]
#include <FreeImage.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "ops/operations.h"

namespace {

using quorbix::Bitmap;
using quorbix::Settings;

Bitmap makePicture() {
  constexpr unsigned kWidth = 2048, kHeight = 3072;
  Bitmap image(FreeImage_Allocate(kWidth, kHeight, 24));
  for (unsigned y = 0; y < kHeight; ++y) {
    BYTE* row = FreeImage_GetScanLine(image.get(), static_cast<int>(y));
    for (unsigned x = 0; x < kWidth; ++x) {
      row[3 * x + FI_RGBA_RED] = static_cast<BYTE>(x * 255 / kWidth);
      row[3 * x + FI_RGBA_GREEN] = static_cast<BYTE>(y * 255 / kHeight);
      row[3 * x + FI_RGBA_BLUE] = static_cast<BYTE>((x ^ y) & 0xFF);
    }
  }
  return image;
}

struct Case {
  const char* name;
  std::function<Bitmap(Bitmap)> run;
};

double medianMs(const Bitmap& source, const Case& c, int runs, unsigned* outW, unsigned* outH,
                unsigned* outBpp) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    Bitmap copy(FreeImage_Clone(source.get()));
    const auto start = std::chrono::steady_clock::now();
    Bitmap result = c.run(std::move(copy));
    const auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    *outW = result.width();
    *outH = result.height();
    *outBpp = result.bpp();
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

Settings rotation(int angle, uint8_t type) {
  Settings s;
  s.rotate.rotationOn = true;
  s.rotate.rotation = angle;
  s.rotate.rotationType = type;
  return s;
}

Settings resize(int w, int h, uint8_t unit, uint8_t algorithm) {
  Settings s;
  s.resize.resizeOn = true;
  s.resize.width = w;
  s.resize.height = h;
  s.resize.widthUnit = unit;
  s.resize.heightUnit = unit;
  s.resize.resizeAlgorithm = algorithm;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace quorbix;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const Bitmap source = makePicture();
  const int w = static_cast<int>(source.width()), h = static_cast<int>(source.height());

  Settings flipH;
  flipH.flip.flipHorizontal = true;
  Settings flipV;
  flipV.flip.flipVertical = true;
  Settings adjust;
  adjust.adjust.adjustOn = true;
  adjust.adjust.brightness = 20;
  adjust.adjust.contrast = 10;
  adjust.adjust.gamma = 1.2f;
  adjust.adjust.invert = true;
  Settings grey;
  grey.greyscale.greyscale = true;
  Settings threshold;
  threshold.threshold.thresholdOn = true;
  threshold.threshold.threshold = 128;

  const std::vector<Case> cases = {
      {"rotate 90 SIMPLE", [](Bitmap b) { return rotateImage(std::move(b), rotation(90, ROTATION_SIMPLE).rotate); }},
      {"rotate 45 SIMPLE", [](Bitmap b) { return rotateImage(std::move(b), rotation(45, ROTATION_SIMPLE).rotate); }},
      {"rotate 45 ADVANCED", [](Bitmap b) { return rotateImage(std::move(b), rotation(45, ROTATION_ADVANCED).rotate); }},
      {"resize 50% BICUBIC", [&](Bitmap b) { return resizeImage(std::move(b), w, h, resize(50, 50, UNIT_PERCENT, ALGO_BICUBIC).resize); }},
      {"resize 50% LANCZOS", [&](Bitmap b) { return resizeImage(std::move(b), w, h, resize(50, 50, UNIT_PERCENT, ALGO_LANCZOS).resize); }},
      {"resize 50% BOX", [&](Bitmap b) { return resizeImage(std::move(b), w, h, resize(50, 50, UNIT_PERCENT, ALGO_BOX).resize); }},
      {"resize 200% BICUBIC", [&](Bitmap b) { return resizeImage(std::move(b), w, h, resize(200, 200, UNIT_PERCENT, ALGO_BICUBIC).resize); }},
      {"flip horizontal", [&](Bitmap b) { return flipImage(std::move(b), flipH.flip); }},
      {"flip vertical", [&](Bitmap b) { return flipImage(std::move(b), flipV.flip); }},
      {"adjust (b/c/g/invert)", [&](Bitmap b) { return adjustImage(std::move(b), adjust.adjust); }},
      {"greyscale", [&](Bitmap b) { return greyscaleImage(std::move(b), grey.greyscale); }},
      {"threshold 128 (from 24-bit)", [&](Bitmap b) { return thresholdImage(std::move(b), threshold.threshold); }},
  };

  std::printf("picture %d x %d, 24 bits; median of %d runs\n", w, h, runs);
  for (const Case& c : cases) {
    unsigned rw = 0, rh = 0, rbpp = 0;
    const double ms = medianMs(source, c, runs, &rw, &rh, &rbpp);
    std::printf("%-28s %9.1f ms  -> %u x %u, %u bits\n", c.name, ms, rw, rh, rbpp);
  }
  return 0;
}
