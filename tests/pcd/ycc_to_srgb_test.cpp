#include "pcd/ycc_to_srgb.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "pcd_writer/pcd_writer.h"

namespace quorbix::pcd {
namespace {

struct Rgb {
  int r, g, b;
};

// The earlier rendering, which the project's writer inverts.
Rgb convert(int y, int c1, int c2, ToneRendering tone = ToneRendering::FullRange) {
  static const YccToSrgb fullRange(ToneRendering::FullRange);
  static const YccToSrgb display(ToneRendering::Display);
  uint8_t bgr[3];
  (tone == ToneRendering::Display ? display : fullRange)
      .convertPixel(static_cast<uint8_t>(y), static_cast<uint8_t>(c1), static_cast<uint8_t>(c2), bgr);
  return {bgr[2], bgr[1], bgr[0]};
}

// The published PhotoYCC display conversion, unclipped, in codes of 255.
struct Rgbd {
  double r, g, b;
};
Rgbd published(int y, int c1, int c2) {
  const double l = 1.402 * y, dr = 255.0 / 135.64 * (c2 - 137.0), db = 255.0 / 111.40 * (c1 - 156.0);
  return {l + dr, l - (0.299 * dr + 0.114 * db) / 0.587, l + db};
}

// Hue angle in the opponent plane, for any real-valued colour.
double hue(double r, double g, double b) {
  return std::atan2(std::sqrt(3.0) * (g - b), 2 * r - g - b) * 180.0 / 3.14159265358979;
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

// DISPLAY: the published conversion wherever it stays inside the sRGB range
// below the roll-off, which begins at display luma 0.55 (code 140).
TEST(YccToSrgbDisplay, FollowsThePublishedConversionBelowTheRollOff) {
  int tried = 0;
  for (int y = 0; y < 256; y += 3) {
    for (int c1 = 0; c1 < 256; c1 += 5) {
      for (int c2 = 0; c2 < 256; c2 += 5) {
        const Rgbd p = published(y, c1, c2);
        if (1.402 * y > 0.55 * 255 || std::min({p.r, p.g, p.b}) < 0 || std::max({p.r, p.g, p.b}) > 255) continue;
        ++tried;
        const Rgb c = convert(y, c1, c2, ToneRendering::Display);
        ASSERT_NEAR(c.r, p.r, 1.0) << y << " " << c1 << " " << c2;
        ASSERT_NEAR(c.g, p.g, 1.0) << y << " " << c1 << " " << c2;
        ASSERT_NEAR(c.b, p.b, 1.0) << y << " " << c1 << " " << c2;
      }
    }
  }
  EXPECT_GT(tried, 5000);
  // Black and mid-grey (18 % reflectance: Y' 0.41, Y 74) exactly.
  EXPECT_EQ(convert(0, 156, 137, ToneRendering::Display).g, 0);
  EXPECT_EQ(convert(74, 156, 137, ToneRendering::Display).g, 104);
}

TEST(YccToSrgbDisplay, HighlightsRollOffInOrderAndKeepTheirHue) {
  // Neutral: in order up to white at the top of the luma scale, and the 74
  // levels above reference white (Y 182) keep at least 45 shades.
  int last = -1, shades = 0;
  for (int y = 0; y < 256; ++y) {
    const Rgb c = convert(y, 156, 137, ToneRendering::Display);
    EXPECT_EQ(c.r, c.g);
    EXPECT_EQ(c.b, c.g);
    EXPECT_GE(c.g, last) << y;
    if (y > 182 && c.g > last) ++shades;
    last = c.g;
  }
  EXPECT_EQ(last, 255);
  EXPECT_GE(shades, 45);
  // Coloured highlights and lights beyond the range: the hue of the
  // unclipped colour, and brighter stays brighter.
  for (int y = 150; y < 256; y += 7) {
    for (int c1 = 20; c1 < 256; c1 += 30) {
      for (int c2 = 20; c2 < 256; c2 += 30) {
        const Rgbd p = published(y, c1, c2);
        const Rgb c = convert(y, c1, c2, ToneRendering::Display);
        if (std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}) < 12) continue;  // too grey for a hue
        double d = std::fabs(hue(c.r, c.g, c.b) - hue(p.r, p.g, p.b));
        EXPECT_LE(std::min(d, 360 - d), 4.0) << y << " " << c1 << " " << c2;
        if (y + 7 < 256) {
          const Rgb brighter = convert(y + 7, c1, c2, ToneRendering::Display);
          EXPECT_GE(luma(brighter.r, brighter.g, brighter.b) + 1.0, luma(c.r, c.g, c.b)) << y << " " << c1 << " " << c2;
        }
      }
    }
  }
}

TEST(YccToSrgbDisplay, RowsGiveThePixelsOneAtATimeGive) {
  // Rows are converted four or eight pixels at a time where the processor
  // allows; every pixel must come out as converted alone.
  static const YccToSrgb display(ToneRendering::Display);
  std::vector<uint8_t> y, c1, c2;
  for (int v = 0; v < 256; v += 3) {
    for (int a = 0; a < 256; a += 17) {
      for (int b = 0; b < 256; b += 13) {
        y.push_back(static_cast<uint8_t>(v));
        c1.push_back(static_cast<uint8_t>(a));
        c2.push_back(static_cast<uint8_t>(b));
      }
    }
  }
  const auto check = [&](const uint8_t* first, ptrdiff_t step) {
    for (size_t i = 0; i < y.size(); ++i) {
      const Rgb alone = convert(y[i], c1[i], c2[i], ToneRendering::Display);
      const uint8_t* pixel = first + static_cast<ptrdiff_t>(i) * step;
      ASSERT_EQ(pixel[2], alone.r) << i << " step " << step;
      ASSERT_EQ(pixel[1], alone.g) << i << " step " << step;
      ASSERT_EQ(pixel[0], alone.b) << i << " step " << step;
    }
  };
  // Rows left to right, right to left (a picture turned half way) and
  // down a column (turned a quarter).
  for (const ptrdiff_t step : {ptrdiff_t{3}, ptrdiff_t{-3}, ptrdiff_t{7}}) {
    const size_t spacing = static_cast<size_t>(step < 0 ? -step : step);
    std::vector<uint8_t> row(spacing * y.size());
    uint8_t* first = step < 0 ? row.data() + row.size() - spacing : row.data();
    display.convertRow(y.data(), c1.data(), c2.data(), static_cast<int>(y.size()), first, step);
    check(first, step);
    // Pieces of seven: four at a time even where eight at a time is there.
    std::fill(row.begin(), row.end(), uint8_t{0});
    for (size_t i = 0; i < y.size(); i += 7) {
      const int n = static_cast<int>(std::min<size_t>(7, y.size() - i));
      display.convertRow(y.data() + i, c1.data() + i, c2.data() + i, n, first + static_cast<ptrdiff_t>(i) * step, step);
    }
    check(first, step);
  }
}

}  // namespace
}  // namespace quorbix::pcd
