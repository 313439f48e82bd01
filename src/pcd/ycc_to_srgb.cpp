#include "pcd/ycc_to_srgb.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/processor.h"

// Eight pixels at a time where the processor has AVX2.
#if defined(QUORBIX_AVX2_PATHS)
#include <immintrin.h>
#endif

namespace quorbix::pcd {

namespace {

// PhotoYCC 8-bit encoding: chroma centred on 156 (C1 = B' - Y') and 137
// (C2 = R' - Y'); luma 255 is 1.402 times reference white. Green from
// Y' = 0.299 R' + 0.587 G' + 0.114 B'.
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
// B' - Y' = (C1 - 156) / 111.40, R' - Y' = (C2 - 137) / 135.64, codes 255 R'G'B'.
// Reference white (Y 182) is 255 there.
// Display luma above the knee (a share of white) is rolled off, so that
// everything up to 1.402 times white lands in the codes above it instead of
// clipping: a cubic leaves the knee with slope 1 and reaches white at the top
// of the scale still rising, with kTopSlope times the part's mean slope, so
// the levels above white keep as many shades as the codes allow. The
// channels are scaled together, which keeps the colour's hue. Worked in
// float, four pixels at a time where SSE2 is there and one at a time
// otherwise, with the same operations in the same order: the same bytes.
constexpr float kKnee = 0.55f;
constexpr float kSpan = 1.402f - kKnee;
constexpr float kOverSpan = 1.0f / kSpan;
constexpr float kTopSlope = 1.5f;
constexpr float kEndTangent = kTopSlope * (1.0f - kKnee);  // the end slope times the span
constexpr float kLumaShare = 1.402f / 255.0f;              // luma code to share of white
constexpr float kRed = 255.0f / 135.64f;
constexpr float kBlue = 255.0f / 111.40f;
constexpr float kGreenFromBlue = -0.114f / 0.587f * kBlue;
constexpr float kGreenFromRed = -0.299f / 0.587f * kRed;
constexpr float kTiny = 1e-6f;  // stands in for a difference of zero when dividing by it

struct DisplayPixel {
  uint8_t b, g, r;
};

uint8_t displayByte(float v) { return static_cast<uint8_t>(std::min(std::max(v, 0.0f), 255.0f) + 0.5f); }

DisplayPixel displayPixel(uint8_t y, uint8_t c1, uint8_t c2) {
  const float l = static_cast<float>(y) * kLumaShare;
  const float t = std::max(l - kKnee, 0.0f) * kOverSpan;
  const float t2 = t * t;
  const float t3 = t2 * t;
  const float curve = (2.0f * t3 - 3.0f * t2 + 1.0f) * kKnee + (t3 - 2.0f * t2 + t) * kSpan +
                      (3.0f * t2 - 2.0f * t3) + (t3 - t2) * kEndTangent;
  const bool above = l > kKnee;
  const float rolled = above ? curve : l;
  const float keep = above ? rolled / l : 1.0f;
  const float lc = 255.0f * rolled;
  const float d1 = static_cast<float>(c1) - 156.0f;
  const float d2 = static_cast<float>(c2) - 137.0f;
  const float dr = kRed * d2 * keep;
  const float db = kBlue * d1 * keep;
  const float dg = (kGreenFromBlue * d1 + kGreenFromRed * d2) * keep;
  // The pull toward grey: the largest share of the differences that keeps
  // every channel inside 0..255.
  const float high = std::max(std::max(dr, dg), db);
  const float low = std::min(std::min(dr, dg), db);
  const float pull = std::min(std::min(1.0f, (255.0f - lc) / std::max(high, kTiny)), lc / std::max(-low, kTiny));
  return {displayByte(lc + db * pull), displayByte(lc + dg * pull), displayByte(lc + dr * pull)};
}

#if defined(__SSE2__)
// displayPixel for four pixels: B, G, R of pixel i at bgr[4i..4i+2].
inline __attribute__((always_inline)) void displayPixels(__m128 y, __m128 c1, __m128 c2, uint8_t bgr[16]) {
  const auto all = [](float v) { return _mm_set1_ps(v); };
  const __m128 zero = _mm_setzero_ps(), one = all(1.0f), two = all(2.0f), three = all(3.0f);
  const __m128 l = _mm_mul_ps(y, all(kLumaShare));
  const __m128 above = _mm_cmpgt_ps(l, all(kKnee));
  const auto choose = [](__m128 mask, __m128 a, __m128 b) {
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
  };
  // Only the lighter groups need the roll-off.
  __m128 rolled = l, keep = one;
  if (_mm_movemask_ps(above) != 0) {
    const __m128 t = _mm_mul_ps(_mm_max_ps(_mm_sub_ps(l, all(kKnee)), zero), all(kOverSpan));
    const __m128 t2 = _mm_mul_ps(t, t);
    const __m128 t3 = _mm_mul_ps(t2, t);
    __m128 curve = _mm_mul_ps(_mm_add_ps(_mm_sub_ps(_mm_mul_ps(two, t3), _mm_mul_ps(three, t2)), one), all(kKnee));
    curve = _mm_add_ps(curve, _mm_mul_ps(_mm_add_ps(_mm_sub_ps(t3, _mm_mul_ps(two, t2)), t), all(kSpan)));
    curve = _mm_add_ps(curve, _mm_sub_ps(_mm_mul_ps(three, t2), _mm_mul_ps(two, t3)));
    curve = _mm_add_ps(curve, _mm_mul_ps(_mm_sub_ps(t3, t2), all(kEndTangent)));
    rolled = choose(above, curve, l);
    keep = choose(above, _mm_div_ps(rolled, l), one);
  }
  const __m128 lc = _mm_mul_ps(all(255.0f), rolled);
  const __m128 d1 = _mm_sub_ps(c1, all(156.0f));
  const __m128 d2 = _mm_sub_ps(c2, all(137.0f));
  const __m128 dr = _mm_mul_ps(_mm_mul_ps(all(kRed), d2), keep);
  const __m128 db = _mm_mul_ps(_mm_mul_ps(all(kBlue), d1), keep);
  const __m128 dg = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(all(kGreenFromBlue), d1), _mm_mul_ps(all(kGreenFromRed), d2)), keep);
  // std::max(a, b) is b when a < b, as maxps(b, a); std::min(a, b) is b
  // when b < a, as minps(b, a): the same choice for equal values.
  const __m128 high = _mm_max_ps(db, _mm_max_ps(dg, dr));
  const __m128 low = _mm_min_ps(db, _mm_min_ps(dg, dr));
  const __m128 headroom = _mm_sub_ps(all(255.0f), lc);
  const __m128 upward = _mm_max_ps(all(kTiny), high);
  const __m128 downward = _mm_max_ps(all(kTiny), _mm_sub_ps(zero, low));
  // Where every channel fits, both rooms come out at 1 or more and the pull
  // is 1: the divisions are needed only when one does not fit.
  __m128 pull = one;
  if (_mm_movemask_ps(_mm_and_ps(_mm_cmpge_ps(headroom, upward), _mm_cmpge_ps(lc, downward))) != 0xf) {
    const __m128 roomAbove = _mm_div_ps(headroom, upward);
    const __m128 roomBelow = _mm_div_ps(lc, downward);
    pull = _mm_min_ps(roomBelow, _mm_min_ps(roomAbove, one));
  }
  const auto bytes = [&](__m128 d) {
    const __m128 v = _mm_min_ps(all(255.0f), _mm_max_ps(zero, _mm_add_ps(lc, _mm_mul_ps(d, pull))));
    return _mm_cvttps_epi32(_mm_add_ps(v, all(0.5f)));
  };
  // Each channel's four values are 0..255: in the low byte of each 32-bit
  // lane, so B | G << 8 | R << 16 puts pixel i's bytes at bgr[4i..4i+2].
  const __m128i packed = _mm_or_si128(_mm_or_si128(bytes(db), _mm_slli_epi32(bytes(dg), 8)),
                                      _mm_slli_epi32(bytes(dr), 16));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bgr), packed);
}
#endif

#if defined(QUORBIX_AVX2_PATHS)
namespace avx2 {
#define QUORBIX_AVX2 __attribute__((target("avx2"), always_inline)) inline
QUORBIX_AVX2 __m256 all(float v) { return _mm256_set1_ps(v); }
QUORBIX_AVX2 __m256 lanes(const uint8_t* v) {
  return _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(v))));
}
QUORBIX_AVX2 __m256 choose(__m256 mask, __m256 a, __m256 b) {
  return _mm256_or_ps(_mm256_and_ps(mask, a), _mm256_andnot_ps(mask, b));
}
QUORBIX_AVX2 __m256i bytes(__m256 d, __m256 lc, __m256 pull) {
  const __m256 v =
      _mm256_min_ps(all(255.0f), _mm256_max_ps(_mm256_setzero_ps(), _mm256_add_ps(lc, _mm256_mul_ps(d, pull))));
  return _mm256_cvttps_epi32(_mm256_add_ps(v, all(0.5f)));
}
#undef QUORBIX_AVX2
}  // namespace avx2

// displayPixels for eight pixels, the same operations in the same order:
// the same bytes. Converts whole groups of eight from the row's start and
// returns how many pixels it did.
__attribute__((target("avx2"))) int displayRowAvx2(const uint8_t* luma, const uint8_t* chroma1,
                                                   const uint8_t* chroma2, int width, uint8_t* out,
                                                   ptrdiff_t step) {
  using namespace avx2;
  // Each 128-bit half holds four pixels as B | G << 8 | R << 16: their
  // twelve bytes first.
  const __m256i tight = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5, 6, 8,
                                         9, 10, 12, 13, 14, -1, -1, -1, -1);
  int x = 0;
  for (; x + 8 <= width; x += 8, out += 8 * step) {
    const __m256 zero = _mm256_setzero_ps(), one = all(1.0f), two = all(2.0f), three = all(3.0f);
    const __m256 l = _mm256_mul_ps(lanes(luma + x), all(kLumaShare));
    const __m256 above = _mm256_cmp_ps(l, all(kKnee), _CMP_GT_OQ);
    // Only the rows' lighter groups need the roll-off.
    __m256 rolled = l, keep = one;
    if (_mm256_movemask_ps(above) != 0) {
      const __m256 t = _mm256_mul_ps(_mm256_max_ps(_mm256_sub_ps(l, all(kKnee)), zero), all(kOverSpan));
      const __m256 t2 = _mm256_mul_ps(t, t);
      const __m256 t3 = _mm256_mul_ps(t2, t);
      __m256 curve = _mm256_mul_ps(
          _mm256_add_ps(_mm256_sub_ps(_mm256_mul_ps(two, t3), _mm256_mul_ps(three, t2)), one), all(kKnee));
      curve =
          _mm256_add_ps(curve, _mm256_mul_ps(_mm256_add_ps(_mm256_sub_ps(t3, _mm256_mul_ps(two, t2)), t), all(kSpan)));
      curve = _mm256_add_ps(curve, _mm256_sub_ps(_mm256_mul_ps(three, t2), _mm256_mul_ps(two, t3)));
      curve = _mm256_add_ps(curve, _mm256_mul_ps(_mm256_sub_ps(t3, t2), all(kEndTangent)));
      rolled = choose(above, curve, l);
      keep = choose(above, _mm256_div_ps(rolled, l), one);
    }
    const __m256 lc = _mm256_mul_ps(all(255.0f), rolled);
    const __m256 d1 = _mm256_sub_ps(lanes(chroma1 + x), all(156.0f));
    const __m256 d2 = _mm256_sub_ps(lanes(chroma2 + x), all(137.0f));
    const __m256 dr = _mm256_mul_ps(_mm256_mul_ps(all(kRed), d2), keep);
    const __m256 db = _mm256_mul_ps(_mm256_mul_ps(all(kBlue), d1), keep);
    const __m256 dg = _mm256_mul_ps(
        _mm256_add_ps(_mm256_mul_ps(all(kGreenFromBlue), d1), _mm256_mul_ps(all(kGreenFromRed), d2)), keep);
    const __m256 high = _mm256_max_ps(db, _mm256_max_ps(dg, dr));
    const __m256 low = _mm256_min_ps(db, _mm256_min_ps(dg, dr));
    const __m256 headroom = _mm256_sub_ps(all(255.0f), lc);
    const __m256 upward = _mm256_max_ps(all(kTiny), high);
    const __m256 downward = _mm256_max_ps(all(kTiny), _mm256_sub_ps(zero, low));
    // Where every channel fits, both rooms below come out at 1 or more and
    // the pull is 1: the divisions are needed only when one does not.
    __m256 pull = one;
    const __m256 fits = _mm256_and_ps(_mm256_cmp_ps(headroom, upward, _CMP_GE_OQ), _mm256_cmp_ps(lc, downward, _CMP_GE_OQ));
    if (_mm256_movemask_ps(fits) != 0xff) {
      const __m256 roomAbove = _mm256_div_ps(headroom, upward);
      const __m256 roomBelow = _mm256_div_ps(lc, downward);
      pull = _mm256_min_ps(roomBelow, _mm256_min_ps(roomAbove, one));
    }
    const __m256i packed =
        _mm256_or_si256(_mm256_or_si256(bytes(db, lc, pull), _mm256_slli_epi32(bytes(dg, lc, pull), 8)),
                        _mm256_slli_epi32(bytes(dr, lc, pull), 16));
    if (step == 3 && x + 10 <= width) {
      // Sixteen bytes stored for twelve: the four after them belong to the
      // next pixels of the row, written later.
      const __m256i bgr = _mm256_shuffle_epi8(packed, tight);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bgr));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(bgr, 1));
      continue;
    }
    alignas(32) uint8_t bgr[32];
    _mm256_store_si256(reinterpret_cast<__m256i*>(bgr), packed);
    for (int i = 0; i < 8; ++i) {
      uint8_t* pixel = out + i * step;
      pixel[0] = bgr[4 * i];
      pixel[1] = bgr[4 * i + 1];
      pixel[2] = bgr[4 * i + 2];
    }
  }
  return x;
}
#endif

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

YccToSrgb::YccToSrgb(ToneRendering tone) : tone_(tone) {
  for (int i = 0; i < 256; ++i) {
    const size_t at = static_cast<size_t>(i);
    const double c1 = kFullRangeC1Scale * (i - kC1Zero);
    const double c2 = kFullRangeC2Scale * (i - kC2Zero);
    blueFromC1_[at] = fixed(c1);
    greenFromC1_[at] = fixed(kGreenFromC1 * c1);
    greenFromC2_[at] = fixed(kGreenFromC2 * c2);
    redFromC2_[at] = fixed(c2);
  }
}

void YccToSrgb::convertRow(const uint8_t* luma, const uint8_t* chroma1, const uint8_t* chroma2, int width,
                           uint8_t* out, ptrdiff_t step) const {
  if (tone_ == ToneRendering::Display) {
    convertDisplay(luma, chroma1, chroma2, width, out, step);
  } else {
    convertFullRange(luma, chroma1, chroma2, width, out, step);
  }
}

void YccToSrgb::convertFullRange(const uint8_t* luma, const uint8_t* chroma1, const uint8_t* chroma2, int width,
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

void YccToSrgb::convertDisplay(const uint8_t* luma, const uint8_t* chroma1, const uint8_t* chroma2, int width,
                               uint8_t* out, ptrdiff_t step) const {
  int x = 0;
#if defined(QUORBIX_AVX2_PATHS)
  if (platform::hasAvx2()) {
    x = displayRowAvx2(luma, chroma1, chroma2, width, out, step);
    out += x * step;
  }
#endif
#if defined(__SSE2__)
  for (; x + 4 <= width; x += 4, out += 4 * step) {
    // Four bytes widened to four 32-bit lanes, then to float.
    const auto lanes = [](const uint8_t* v) {
      int32_t word;
      std::memcpy(&word, v, 4);
      const __m128i zero = _mm_setzero_si128();
      return _mm_cvtepi32_ps(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero));
    };
    uint8_t bgr[16];
    displayPixels(lanes(luma + x), lanes(chroma1 + x), lanes(chroma2 + x), bgr);
    for (int i = 0; i < 4; ++i) {
      uint8_t* pixel = out + i * step;
      pixel[0] = bgr[4 * i];
      pixel[1] = bgr[4 * i + 1];
      pixel[2] = bgr[4 * i + 2];
    }
  }
#endif
  for (; x < width; ++x, out += step) {
    const DisplayPixel p = displayPixel(luma[x], chroma1[x], chroma2[x]);
    out[0] = p.b;
    out[1] = p.g;
    out[2] = p.r;
  }
}

void YccToSrgb::convertPixel(uint8_t y, uint8_t c1, uint8_t c2, uint8_t bgr[3]) const {
  convertRow(&y, &c1, &c2, 1, bgr, 3);
}

}  // namespace quorbix::pcd
