#include "pcd/ycc_to_srgb.h"

#include <algorithm>
#include <cmath>

namespace quorbix::pcd {

namespace {

// PhotoYCC 8-bit encoding: chroma centred on 156 (C1 = B' - Y') and 137
// (C2 = R' - Y'); luma 255 is 1.402 times reference white.
constexpr double kC1Zero = 156.0;
constexpr double kC2Zero = 137.0;
constexpr double kGreenFromC1 = -0.194;
constexpr double kGreenFromC2 = -0.509;

// FULLRANGE: Kodak's display equations scale luma by 1.3584 and the
// differences by 2.2179 and 1.8215; dividing all three by 1.3584 maps the
// top of the luma scale to 255.
constexpr double kFullRangeC1Scale = 2.2179 / 1.3584;
constexpr double kFullRangeC2Scale = 1.8215 / 1.3584;

// DISPLAY, the published conversion: Y' = 1.402 Y / 255,
// B' - Y' = (C1 - 156) / 111.40, R' - Y' = (C2 - 137) / 135.64, codes 255 R'G'B'
// (G' from Y' = 0.299 R' + 0.587 G' + 0.114 B'). Reference white is 255.
constexpr double kDisplayLumaScale = 1.402;
constexpr double kDisplayC1Scale = 255.0 / 111.40;
constexpr double kDisplayC2Scale = 255.0 / 135.64;

// Display luma above the knee (a share of white) is rolled off, so that
// everything up to 1.402 times white lands in the codes above it instead of
// clipping: a cubic leaves the knee with slope 1 and reaches white at the top
// of the scale still rising, with kTopSlope times the part's mean slope, so
// no two luma levels merge needlessly.
constexpr double kKnee = 0.55;
constexpr double kTopSlope = 1.5;

double rollOff(double l) {
  if (l <= kKnee) return l;
  const double span = kDisplayLumaScale - kKnee;
  const double t = (l - kKnee) / span;
  const double endSlope = kTopSlope * (1.0 - kKnee) / span;
  const double t2 = t * t, t3 = t2 * t;
  return (2 * t3 - 3 * t2 + 1) * kKnee + (t3 - 2 * t2 + t) * span + (-2 * t3 + 3 * t2) +
         (t3 - t2) * span * endSlope;
}

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
  const bool display = tone == ToneRendering::Display;
  for (int i = 0; i < 256; ++i) {
    const size_t at = static_cast<size_t>(i);
    luma_[at] = i * kOne;
    rollOff_[at] = kOne;
    if (display) {
      const double l = kDisplayLumaScale * i / 255.0;
      const double rolled = rollOff(l);
      luma_[at] = fixed(255.0 * rolled);
      if (rolled < l) {
        rollFrom_ = std::min(rollFrom_, i);
        rollOff_[at] = fixed(rolled / l);
      }
    }
    const double c1 = (display ? kDisplayC1Scale : kFullRangeC1Scale) * (i - kC1Zero);
    const double c2 = (display ? kDisplayC2Scale : kFullRangeC2Scale) * (i - kC2Zero);
    blueFromC1_[at] = fixed(c1);
    greenFromC1_[at] = fixed(kGreenFromC1 * c1);
    greenFromC2_[at] = fixed(kGreenFromC2 * c2);
    redFromC2_[at] = fixed(c2);
  }
}

void YccToSrgb::convertRow(const uint8_t* luma, const uint8_t* chroma1, const uint8_t* chroma2, int width,
                           uint8_t* out, ptrdiff_t step) const {
  for (int x = 0; x < width; ++x, out += step) {
    const int32_t l = luma_[luma[x]];
    int32_t dr = redFromC2_[chroma2[x]];
    int32_t dg = greenFromC1_[chroma1[x]] + greenFromC2_[chroma2[x]];
    int32_t db = blueFromC1_[chroma1[x]];
    if (luma[x] >= rollFrom_) {
      // A highlight: the colour differences shrink with the luma, which
      // keeps the colour's hue and saturation.
      const int32_t keep = rollOff_[luma[x]];
      dr = dr * keep / kOne;
      dg = dg * keep / kOne;
      db = db * keep / kOne;
    }
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
