#include "pcd/ycc_to_srgb.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "pcd_writer/pcd_writer.h"

namespace quorbix::pcd {
namespace {

struct Rgb {
  int r, g, b;
};

Rgb convert(int y, int c1, int c2) {
  static const YccToSrgb converter;
  uint8_t bgr[3];
  converter.convertPixel(static_cast<uint8_t>(y), static_cast<uint8_t>(c1), static_cast<uint8_t>(c2), bgr);
  return {bgr[2], bgr[1], bgr[0]};
}

double luma(double r, double g, double b) { return 0.299 * r + 0.587 * g + 0.114 * b; }

TEST(YccToSrgb, NeutralChromaGivesGreyOfTheLumaValue) {
  for (int y = 0; y < 256; ++y) {
    const Rgb c = convert(y, 156, 137);
    EXPECT_EQ(c.r, y);
    EXPECT_EQ(c.g, y);
    EXPECT_EQ(c.b, y);
  }
}

TEST(YccToSrgb, InvertsTheWritersEncodingOfColoursInRange) {
  int worst = 0, tried = 0;
  for (int r = 10; r < 250; r += 20) {
    for (int g = 10; g < 250; g += 20) {
      for (int b = 10; b < 250; b += 20) {
        uint8_t y, c1, c2;
        pcd_writer::srgbToYcc(r, g, b, y, c1, c2);
        if (c1 == 0 || c1 == 255 || c2 == 0 || c2 == 255) continue;  // beyond what PhotoYCC stores
        ++tried;
        const Rgb back = convert(y, c1, c2);
        worst = std::max({worst, std::abs(back.r - r), std::abs(back.g - g), std::abs(back.b - b)});
      }
    }
  }
  // 8-bit chroma steps are 1.3 to 1.7 output levels wide.
  EXPECT_LE(worst, 3);
  EXPECT_GT(tried, 1000);
}

TEST(YccToSrgb, BrightSaturatedColourKeepsHueAndBrightness) {
  // A bright orange light whose red lies far above white. Unclipped:
  // r = 230 + 1.3409 * 63, g = 230 + 0.31675 * 46 - 0.68253 * 63, b = 230 - 1.6327 * 46.
  const double r0 = 230 + 1.3409 * 63, g0 = 230 + 0.31675 * 46 - 0.68253 * 63, b0 = 230 - 1.6327 * 46;
  const Rgb c = convert(230, 110, 200);
  EXPECT_EQ(c.r, 255);
  EXPECT_NEAR(luma(c.r, c.g, c.b), 230, 2.0);  // clipping red alone would give about 212
  const double hue0 = (g0 - b0) / (r0 - b0);
  const double hue = double(c.g - c.b) / (c.r - c.b);
  EXPECT_NEAR(hue, hue0, 0.04);  // clipping red alone would give about 0.47
  EXPECT_GT(c.g, c.b);
}

TEST(YccToSrgb, DeepColouredShadowStaysDarkAndInRange) {
  // Dark blue-green whose red would be far below zero.
  const Rgb c = convert(12, 170, 90);
  EXPECT_EQ(c.r, 0);
  EXPECT_NEAR(luma(c.r, c.g, c.b), 12, 2.0);
  EXPECT_GT(c.b, c.r);
  EXPECT_GT(c.g, c.r);
}

TEST(YccToSrgb, TopOfTheLumaScaleIsWhiteNotClippedBelowIt) {
  // Highlights above reference white keep their gradation: distinct luma
  // values near the top stay distinct.
  EXPECT_EQ(convert(255, 156, 137).r, 255);
  EXPECT_LT(convert(240, 156, 137).r, convert(250, 156, 137).r);
}

}  // namespace
}  // namespace quorbix::pcd
