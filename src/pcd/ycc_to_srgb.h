// PhotoYCC to 8-bit sRGB. PhotoYCC stores gamma-corrected (Rec. 709 transfer)
// luma and two colour differences, scaled so that highlights up to 1.402
// times reference white survive. Both renderings below keep that whole
// range: stored highlights are not clipped. Colours that still fall outside
// 0..255 (saturated lights, deep shadows of strong colour) are brought in by
// moving them toward the grey of the same luma, which keeps their hue and
// brightness, instead of clipping each channel on its own (which turns an
// orange street lamp yellow and a red light pink).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quorbix::pcd {

// How PhotoYCC's tones become sRGB codes.
// Display: the published PhotoYCC display conversion up to 0.55 of reference
// white; the lighter tones, up to the 1.402 times white PhotoYCC holds,
// rolled off smoothly into the codes above with their hue kept.
// FullRange: the whole encoded range scaled into 0..255 (reference white at
// about 182), as earlier versions rendered every picture.
enum class ToneRendering : uint8_t { Display, FullRange };

class YccToSrgb {
 public:
  explicit YccToSrgb(ToneRendering tone = ToneRendering::Display);
  // Converts one row whose chroma is already at full width. Writes B, G, R
  // at `out`, `out + step`, `out + 2 * step`... (step in bytes, may be
  // negative), so a row can land in a turned picture directly.
  void convertRow(const uint8_t* luma, const uint8_t* chroma1, const uint8_t* chroma2, int width,
                  uint8_t* out, ptrdiff_t step) const;

  // One pixel, for tests.
  void convertPixel(uint8_t y, uint8_t c1, uint8_t c2, uint8_t bgr[3]) const;

 private:
  void convertFullRange(const uint8_t* luma, const uint8_t* chroma1, const uint8_t* chroma2, int width,
                        uint8_t* out, ptrdiff_t step) const;
  void convertDisplay(const uint8_t* luma, const uint8_t* chroma1, const uint8_t* chroma2, int width,
                      uint8_t* out, ptrdiff_t step) const;

  ToneRendering tone_;
  // FULLRANGE, in fixed point: colour-difference contributions in 1/256
  // steps of the 8-bit scale.
  std::array<int32_t, 256> blueFromC1_;
  std::array<int32_t, 256> greenFromC1_;
  std::array<int32_t, 256> greenFromC2_;
  std::array<int32_t, 256> redFromC2_;
};

}  // namespace quorbix::pcd
