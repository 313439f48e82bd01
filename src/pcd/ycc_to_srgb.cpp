#include "pcd/ycc_to_srgb.h"

#include <algorithm>
#include <cmath>

namespace quorbix::pcd {

namespace {

// PhotoYCC 8-bit encoding: chroma centred on 156 (C1 = B' - Y') and 137
// (C2 = R' - Y'). Kodak's display equations scale luma by 1.3584 and the
// differences by 2.2179 and 1.8215; dividing all three by 1.3584 maps the
// top of the luma scale (1.402 x reference white) to 255.
constexpr double kLumaScale = 1.3584;
constexpr double kC1Scale = 2.2179 / kLumaScale;
constexpr double kC2Scale = 1.8215 / kLumaScale;
constexpr double kC1Zero = 156.0;
constexpr double kC2Zero = 137.0;
constexpr double kGreenFromC1 = -0.194;
constexpr double kGreenFromC2 = -0.509;

constexpr int32_t kOne = 256;  // fixed point
constexpr int32_t kWhite = 255 * kOne;

int32_t fixed(double v) { return static_cast<int32_t>(std::lround(v * kOne)); }

uint8_t toByte(int32_t v) { return static_cast<uint8_t>(std::clamp((v + kOne / 2) / kOne, 0, 255)); }

// Scales the colour differences so that the largest channel is white or the
// smallest is black, whichever needs the larger pull toward grey.
void pullIntoRange(int32_t luma, int32_t& dr, int32_t& dg, int32_t& db) {
  const int32_t high = std::max({dr, dg, db});
  const int32_t low = std::min({dr, dg, db});
  double keep = 1.0;
  if (luma + high > kWhite && high > 0) keep = std::min(keep, double(kWhite - luma) / high);
  if (luma + low < 0 && low < 0) keep = std::min(keep, double(luma) / -low);
  keep = std::max(keep, 0.0);
  dr = static_cast<int32_t>(dr * keep);
  dg = static_cast<int32_t>(dg * keep);
  db = static_cast<int32_t>(db * keep);
}

}  // namespace

YccToSrgb::YccToSrgb(ToneRendering tone) {
  (void)tone;  // DISPLAY is built on the full range below; its own table comes next
  for (int i = 0; i < 256; ++i) {
    const double c1 = kC1Scale * (i - kC1Zero);
    const double c2 = kC2Scale * (i - kC2Zero);
    blueFromC1_[static_cast<size_t>(i)] = fixed(c1);
    greenFromC1_[static_cast<size_t>(i)] = fixed(kGreenFromC1 * c1);
    greenFromC2_[static_cast<size_t>(i)] = fixed(kGreenFromC2 * c2);
    redFromC2_[static_cast<size_t>(i)] = fixed(c2);
  }
}

void YccToSrgb::convertRow(const uint8_t* luma, const uint8_t* chroma1, const uint8_t* chroma2, int width,
                           uint8_t* out, ptrdiff_t step) const {
  for (int x = 0; x < width; ++x, out += step) {
    const int32_t l = luma[x] * kOne;
    int32_t dr = redFromC2_[chroma2[x]];
    int32_t dg = greenFromC1_[chroma1[x]] + greenFromC2_[chroma2[x]];
    int32_t db = blueFromC1_[chroma1[x]];
    const int32_t r = l + dr, g = l + dg, b = l + db;
    if (static_cast<uint32_t>(r) > uint32_t{kWhite} || static_cast<uint32_t>(g) > uint32_t{kWhite} ||
        static_cast<uint32_t>(b) > uint32_t{kWhite}) {
      pullIntoRange(l, dr, dg, db);
      out[0] = toByte(l + db);
      out[1] = toByte(l + dg);
      out[2] = toByte(l + dr);
      continue;
    }
    out[0] = static_cast<uint8_t>((b + kOne / 2) >> 8);
    out[1] = static_cast<uint8_t>((g + kOne / 2) >> 8);
    out[2] = static_cast<uint8_t>((r + kOne / 2) >> 8);
  }
}

void YccToSrgb::convertPixel(uint8_t y, uint8_t c1, uint8_t c2, uint8_t bgr[3]) const {
  convertRow(&y, &c1, &c2, 1, bgr, 3);
}

}  // namespace quorbix::pcd
