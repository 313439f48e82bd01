// Our tone renderings against the published PhotoYCC display conversion
//   Y' = 1.402 Y/255, B' - Y' = (C1 - 156) / 111.40, R' - Y' = (C2 - 137) / 135.64,
//   G' from Y' = 0.299 R' + 0.587 G' + 0.114 B', display code 255 R'G'B'
// on one level of a picture (Base by default), for each rendering:
// - PSNR on the pixels the published conversion keeps inside 0..255;
// - distinct green levels among the pixels whose luma is above reference
//   white (Y' > 1), which tells whether the highlights kept their shades;
// - mean hue error of the coloured pixels the published conversion puts
//   outside 0..255, against the hue of that unclipped colour.
//
//   bench_pcd_tones <file.pcd> [sub-image]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"
#include "pcd/ycc_to_srgb.h"

using namespace quorbix::pcd;

namespace {

struct Rgbd {
  double r, g, b;
};

Rgbd published(int y, int c1, int c2) {
  const double l = 1.402 * y, dr = 255.0 / 135.64 * (c2 - 137.0), db = 255.0 / 111.40 * (c1 - 156.0);
  return {l + dr, l - (0.299 * dr + 0.114 * db) / 0.587, l + db};
}

// The hue of HSV, for any real-valued colour with some spread.
double hueDegrees(const Rgbd& c) {
  const double high = std::max({c.r, c.g, c.b}), low = std::min({c.r, c.g, c.b}), d = high - low;
  double h = high == c.r ? std::fmod((c.g - c.b) / d, 6.0) : high == c.g ? (c.b - c.r) / d + 2 : (c.r - c.g) / d + 4;
  h *= 60;
  return h < 0 ? h + 360 : h;
}

double spread(const Rgbd& c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <file.pcd> [sub-image]\n", argv[0]);
    return 2;
  }
  const int subImage = argc > 2 ? std::atoi(argv[2]) : 3;
  auto source = FileByteSource::open(argv[1]);
  YccPicture picture;
  Rotation rotation = Rotation::None;
  if (!source || decodeStored(*source, subImage, picture, rotation) != DecodeStatus::Ok) {
    std::fprintf(stderr, "cannot decode %s[%d]\n", argv[1], subImage);
    return 1;
  }
  const int w = picture.luma.width, h = picture.luma.height;
  // Chroma at full size, interpolated as the renderer does.
  const Plane chroma1 = upsample2x(picture.chroma1), chroma2 = upsample2x(picture.chroma2);
  std::printf("%s[%d], %d x %d\n", argv[1], subImage, w, h);
  for (const ToneRendering tone : {ToneRendering::Display, ToneRendering::FullRange}) {
    const YccToSrgb converter(tone);
    double squared = 0, hueError = 0;
    long inside = 0, coloured = 0, above = 0;
    std::set<int> greens;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const int yy = picture.luma.at(x, y), c1 = chroma1.at(x, y), c2 = chroma2.at(x, y);
        uint8_t bgr[3];
        converter.convertPixel(static_cast<uint8_t>(yy), static_cast<uint8_t>(c1), static_cast<uint8_t>(c2), bgr);
        const Rgbd ours{double(bgr[2]), double(bgr[1]), double(bgr[0])};
        const Rgbd p = published(yy, c1, c2);
        if (1.402 * yy > 255) {
          ++above;
          greens.insert(bgr[1]);
        }
        if (p.r >= -0.5 && p.r < 255.5 && p.g >= -0.5 && p.g < 255.5 && p.b >= -0.5 && p.b < 255.5) {
          ++inside;
          for (const auto& [a, b] : {std::pair{ours.r, p.r}, {ours.g, p.g}, {ours.b, p.b}}) {
            const double d = a - std::round(b);
            squared += d * d;
          }
        } else if (spread(p) >= 0.1 * 255 && spread(ours) >= 3) {
          ++coloured;
          const double d = std::fabs(hueDegrees(ours) - hueDegrees(p));
          hueError += d > 180 ? 360 - d : d;
        }
      }
    }
    const double mse = squared / (3.0 * double(std::max(inside, 1L)));
    std::printf("  %-9s PSNR inside the range %.1f dB (%ld pixels); %zu green levels above reference white "
                "(%ld pixels); mean hue error %.2f degrees (%ld coloured pixels outside the range)\n",
                tone == ToneRendering::Display ? "DISPLAY" : "FULLRANGE", mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 999.0,
                inside, greens.size(), above, coloured > 0 ? hueError / double(coloured) : 0.0, coloured);
  }
  return 0;
}
