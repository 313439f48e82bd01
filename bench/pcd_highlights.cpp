// How our colour conversion treats colours PhotoYCC holds beyond the sRGB
// range (bright saturated lights, deep coloured shadows), against clipping
// each channel on its own as ImageMagick does. For every such pixel of a
// picture it compares the luma and the hue of the result with those of the
// unclipped colour, and it writes a side-by-side crop (ours left, per-channel
// clipping right) of the part of the picture with the most such pixels.
//
//   bench_pcd_highlights <file.pcd> [sub-image] [crop.png]
#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"
#include "pcd/ycc_to_srgb.h"

using namespace quorbix::pcd;

namespace {

struct Rgbd {
  double r, g, b;
};

// The unclipped colour, in the same scale as the converter's output.
Rgbd unclipped(int y, int c1, int c2) {
  const double d1 = 2.2179 / 1.3584 * (c1 - 156.0), d2 = 1.8215 / 1.3584 * (c2 - 137.0);
  return {y + d2, y - 0.194 * d1 - 0.509 * d2, y + d1};
}

double luma(const Rgbd& c) { return 0.299 * c.r + 0.587 * c.g + 0.114 * c.b; }

double hueDegrees(const Rgbd& c) {
  // Hue angle in the opponent plane, defined for any real-valued colour.
  return std::atan2(std::sqrt(3.0) * (c.g - c.b), 2 * c.r - c.g - c.b) * 180.0 / M_PI;
}

double hueDistance(double a, double b) {
  double d = std::fabs(a - b);
  return d > 180 ? 360 - d : d;
}

Rgbd clipEach(const Rgbd& c) {
  return {std::clamp(std::round(c.r), 0.0, 255.0), std::clamp(std::round(c.g), 0.0, 255.0),
          std::clamp(std::round(c.b), 0.0, 255.0)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <file.pcd> [sub-image] [crop.png]\n", argv[0]);
    return 2;
  }
  const int subImage = argc > 2 ? std::atoi(argv[2]) : 5;
  auto source = FileByteSource::open(argv[1]);
  if (!source) return 1;
  const auto header = readPcdHeader(*source);
  const auto level = subImageLevel(subImage);
  YccPicture picture;
  if (!header || !level || decodeYcc(*source, *header, *level, picture) != DecodeStatus::Ok) {
    std::fprintf(stderr, "cannot decode %s[%d]\n", argv[1], subImage);
    return 1;
  }
  const int w = picture.luma.width, h = picture.luma.height;
  const YccToSrgb converter;
  long outside = 0;
  double lumaOurs = 0, lumaClip = 0, hueOurs = 0, hueClip = 0;
  // Out-of-range counts per 128 x 128 tile, to find the crop.
  const int tile = 128, tilesX = w / tile, tilesY = h / tile;
  std::vector<long> tiles(static_cast<size_t>(tilesX * tilesY), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int yy = picture.luma.at(x, y), c1 = picture.chroma1.at(x / 2, y / 2), c2 = picture.chroma2.at(x / 2, y / 2);
      const Rgbd u = unclipped(yy, c1, c2);
      if (u.r >= -0.5 && u.r < 255.5 && u.g >= -0.5 && u.g < 255.5 && u.b >= -0.5 && u.b < 255.5) continue;
      ++outside;
      if (x / tile < tilesX && y / tile < tilesY) ++tiles[static_cast<size_t>((y / tile) * tilesX + x / tile)];
      uint8_t bgr[3];
      converter.convertPixel(static_cast<uint8_t>(yy), static_cast<uint8_t>(c1), static_cast<uint8_t>(c2), bgr);
      const Rgbd ours{double(bgr[2]), double(bgr[1]), double(bgr[0])};
      const Rgbd clip = clipEach(u);
      lumaOurs += std::fabs(luma(ours) - luma(u));
      lumaClip += std::fabs(luma(clip) - luma(u));
      // Hue is undefined for greys; only compare where some colour remains.
      const bool oursGrey = std::max({ours.r, ours.g, ours.b}) - std::min({ours.r, ours.g, ours.b}) < 3;
      const bool clipGrey = std::max({clip.r, clip.g, clip.b}) - std::min({clip.r, clip.g, clip.b}) < 3;
      hueOurs += oursGrey ? 0 : hueDistance(hueDegrees(ours), hueDegrees(u));
      hueClip += clipGrey ? 0 : hueDistance(hueDegrees(clip), hueDegrees(u));
    }
  }
  std::printf("%s[%d]: %d x %d, %ld pixels (%.2f%%) outside the sRGB range\n", argv[1], subImage, w, h, outside,
              100.0 * double(outside) / (double(w) * h));
  if (outside > 0) {
    std::printf("  mean luma error:  ours %.2f, clipping each channel %.2f (levels of 255)\n", lumaOurs / double(outside),
                lumaClip / double(outside));
    std::printf("  mean hue error:   ours %.2f, clipping each channel %.2f (degrees)\n", hueOurs / double(outside),
                hueClip / double(outside));
  }
  if (argc > 3 && outside > 0) {
    const size_t best = static_cast<size_t>(std::max_element(tiles.begin(), tiles.end()) - tiles.begin());
    const int cx = static_cast<int>(best % static_cast<size_t>(tilesX)) * tile, cy = static_cast<int>(best / static_cast<size_t>(tilesX)) * tile;
    const int size = 256, x0 = std::clamp(cx - 64, 0, w - size), y0 = std::clamp(cy - 64, 0, h - size);
    FIBITMAP* out = FreeImage_Allocate(2 * size, size, 24);
    for (int y = 0; y < size; ++y) {
      BYTE* line = FreeImage_GetScanLine(out, size - 1 - y);  // FreeImage rows run bottom-up
      for (int x = 0; x < size; ++x) {
        const int sx = x0 + x, sy = y0 + y;
        const int yy = picture.luma.at(sx, sy), c1 = picture.chroma1.at(sx / 2, sy / 2), c2 = picture.chroma2.at(sx / 2, sy / 2);
        uint8_t bgr[3];
        converter.convertPixel(static_cast<uint8_t>(yy), static_cast<uint8_t>(c1), static_cast<uint8_t>(c2), bgr);
        const Rgbd clip = clipEach(unclipped(yy, c1, c2));
        BYTE* a = line + 3 * x;
        BYTE* b = line + 3 * (x + size);
        a[FI_RGBA_BLUE] = bgr[0];
        a[FI_RGBA_GREEN] = bgr[1];
        a[FI_RGBA_RED] = bgr[2];
        b[FI_RGBA_BLUE] = static_cast<BYTE>(clip.b);
        b[FI_RGBA_GREEN] = static_cast<BYTE>(clip.g);
        b[FI_RGBA_RED] = static_cast<BYTE>(clip.r);
      }
    }
    FreeImage_Save(FIF_PNG, out, argv[3], 0);
    FreeImage_Unload(out);
    std::printf("  crop at (%d, %d) of the stored picture written to %s (ours left, per-channel clipping right)\n", x0, y0, argv[3]);
  }
  return 0;
}
