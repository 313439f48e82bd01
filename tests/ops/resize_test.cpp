#include <FreeImage.h>
#include <gtest/gtest.h>

#include <limits>

#include "support/bitmap_fixtures.h"
#include "ops/operations.h"
#include "ops/target_size.h"

namespace quorbix {
namespace {

using test::makeBitmap;

constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

TEST(TargetSize, PixelsPercentAndUnknownUnits) {
  EXPECT_EQ(targetSize(640, UNIT_PIXELS, 3072), 640);
  EXPECT_EQ(targetSize(-10, UNIT_PIXELS, 3072), -10);
  EXPECT_EQ(targetSize(50, UNIT_PERCENT, 1000), 500);
  EXPECT_EQ(targetSize(640, 7, 3072), 0);
}

TEST(TargetSize, PercentRoundsHalvesToEven) {
  EXPECT_EQ(targetSize(50, UNIT_PERCENT, 101), 50);
  EXPECT_EQ(targetSize(50, UNIT_PERCENT, 103), 52);
  EXPECT_EQ(targetSize(150, UNIT_PERCENT, 5), 8);  // 7.5
  EXPECT_EQ(targetSize(1, UNIT_PERCENT, 49), 0);
  EXPECT_EQ(targetSize(-50, UNIT_PERCENT, 101), -50);
}

TEST(TargetSize, HugePercentClampsInsteadOfOverflowing) {
  EXPECT_EQ(targetSize(2000000000, UNIT_PERCENT, 6144), kIntMax);
  EXPECT_EQ(targetSize(-2000000000, UNIT_PERCENT, 6144), std::numeric_limits<int32_t>::min());
}

TEST(RescaledSize, KeptProportionsFollowTheWidthOrTheHeightTarget) {
  EXPECT_EQ(rescaledSize(1000, 500, 400, 100, false), (Size{400, 100}));
  EXPECT_EQ(rescaledSize(1000, 500, 400, 100, true), (Size{400, 200}));
  EXPECT_EQ(rescaledSize(500, 1000, 400, 100, true), (Size{50, 100}));
  EXPECT_EQ(rescaledSize(300, 300, 100, 50, true), (Size{100, 100}));
  EXPECT_EQ(rescaledSize(1, 20000, 10, 1000, true), (Size{0, 1000}));
}

TEST(RescaledSize, DerivedSideIsComputedInSinglePrecision) {
  // 100 / (8/7) is 87.5 exactly, but the single-precision quotient is just
  // below it and rounds down.
  EXPECT_EQ(rescaledSize(800, 700, 100, 1, true), (Size{100, 87}));
  EXPECT_EQ(rescaledSize(700, 800, 1, 100, true), (Size{87, 100}));
  EXPECT_EQ(rescaledSize(600, 200, 301, 1, true), (Size{301, 100}));  // 100.33
  EXPECT_EQ(rescaledSize(400, 200, 301, 1, true), (Size{301, 151}));  // 150.5 rounds up
}

TEST(RescaleMemory, CountsTheFilterTablesOfAVeryLongSide) {
  // The pixels of a 300,000,000 x 1 result fit the limit; the weight tables
  // FreeImage builds for that row do not.
  const Size source{10, 10};
  const Size target{300000000, 1};
  EXPECT_LT(300000000.0 * 4, kMaxRescaleBytes);
  EXPECT_GT(rescaleMemoryBytes(source, target, 24), kMaxRescaleBytes);
  EXPECT_LT(rescaleMemoryBytes({2048, 3072}, {6144, 9216}, 24), kMaxRescaleBytes);
}

Settings resize(int32_t w, int32_t h, bool keep = false, uint8_t unit = UNIT_PIXELS) {
  Settings s;
  s.resize.resizeOn = true;
  s.resize.width = w;
  s.resize.height = h;
  s.resize.widthUnit = unit;
  s.resize.heightUnit = unit;
  s.resize.keepAspectRatio = keep;
  return s;
}

// Runs resizeImage on a fresh picture and tells whether the very same bitmap
// came back.
struct Outcome {
  Bitmap image;
  bool same = false;
};
Outcome resizeFresh(unsigned w, unsigned h, const Settings& s, unsigned bpp = 24) {
  Bitmap image = makeBitmap(w, h, bpp);
  FIBITMAP* before = image.get();
  Outcome out;
  out.image = resizeImage(std::move(image), static_cast<int>(w), static_cast<int>(h), s.resize);
  out.same = out.image.get() == before;
  return out;
}

TEST(ResizeImage, ScalesToTheComputedSize) {
  Outcome half = resizeFresh(1000, 500, resize(50, 50, false, UNIT_PERCENT));
  ASSERT_TRUE(half.image);
  EXPECT_EQ(half.image.width(), 500u);
  EXPECT_EQ(half.image.height(), 250u);

  Outcome kept = resizeFresh(500, 1000, resize(400, 100, true));
  ASSERT_TRUE(kept.image);
  EXPECT_EQ(kept.image.width(), 50u);
  EXPECT_EQ(kept.image.height(), 100u);
  EXPECT_EQ(kept.image.bpp(), 24u);
}

TEST(ResizeImage, LargeImagesOnlyLeavesPicturesSmallerOnBothAxes) {
  Settings s = resize(1024, 768);
  s.resize.resizeType = RESIZE_LARGEIMAGES;
  EXPECT_TRUE(resizeFresh(800, 600, s).same);
  Outcome wide = resizeFresh(1200, 600, s);
  ASSERT_TRUE(wide.image);
  EXPECT_EQ(wide.image.width(), 1024u);
  EXPECT_EQ(wide.image.height(), 768u);
  s.resize.resizeType = RESIZE_ALLIMAGES;
  EXPECT_EQ(resizeFresh(800, 600, s).image.width(), 1024u);
}

TEST(ResizeImage, NothingToDoKeepsTheSameBitmap) {
  EXPECT_TRUE(resizeFresh(40, 30, resize(40, 30)).same);
  EXPECT_TRUE(resizeFresh(40, 30, resize(-10, 30)).same);
  EXPECT_TRUE(resizeFresh(40, 30, resize(1, 1, false, UNIT_PERCENT)).same);  // rounds to 0
  Settings off = resize(20, 10);
  off.resize.resizeOn = false;
  EXPECT_TRUE(resizeFresh(40, 30, off).same);
  // Proportions kept and the width already at its target: no resampling.
  EXPECT_TRUE(resizeFresh(40, 20, resize(40, 7, true)).same);
  EXPECT_FALSE(resizeImage(Bitmap(), 40, 30, resize(20, 10).resize));
}

TEST(ResizeImage, SameSizePaletteStillBecomesTrueColourLikeFreeImageDoes) {
  Bitmap image = makeBitmap(40, 20, 8);
  RGBQUAD* palette = FreeImage_GetPalette(image.get());
  palette[0] = RGBQUAD{0, 0, 255, 0};  // red: no longer a greyscale palette
  Bitmap result = resizeImage(std::move(image), 40, 20, resize(40, 7, true).resize);
  ASSERT_TRUE(result);
  EXPECT_EQ(result.bpp(), 24u);
  EXPECT_EQ(result.width(), 40u);
}

TEST(ResizeImage, LongThinPictureWithProportionsKeptGivesNoImage) {
  Outcome thin = resizeFresh(1, 20000, resize(10, 1000, true));
  EXPECT_FALSE(thin.image);
}

TEST(ResizeImage, AbsurdTargetsGiveNoImageInsteadOfExhaustingMemory) {
  EXPECT_FALSE(resizeFresh(30, 20, resize(2000000000, 2000000000)).image);
  EXPECT_FALSE(resizeFresh(30, 20, resize(2000000000, 2000000000, false, UNIT_PERCENT)).image);
  EXPECT_FALSE(resizeFresh(8, 8, resize(kIntMax, 1), 1).image);
  EXPECT_FALSE(resizeFresh(30, 20, resize(kIntMax, 5, true)).image);
}

TEST(ResizeImage, AlgorithmCodesPickTheirFilters) {
  // A hard edge resampled by each filter, compared with FreeImage called
  // directly; an unknown code behaves as BICUBIC.
  const struct {
    uint8_t code;
    FREE_IMAGE_FILTER filter;
  } table[] = {{ALGO_BOX, FILTER_BOX},           {ALGO_BILINEAR, FILTER_BILINEAR},
               {ALGO_BSPLINE, FILTER_BSPLINE},   {ALGO_BICUBIC, FILTER_BICUBIC},
               {ALGO_CATMULLROM, FILTER_CATMULLROM}, {ALGO_LANCZOS, FILTER_LANCZOS3},
               {42, FILTER_BICUBIC}};
  auto edge = [] {
    Bitmap image = makeBitmap(16, 4, 24);
    for (unsigned y = 0; y < 4; ++y)
      for (unsigned x = 8; x < 16; ++x) test::setRgb(image, x, y, {255, 255, 255});
    return image;
  };
  for (const auto& entry : table) {
    Settings s = resize(37, 4);
    s.resize.resizeAlgorithm = entry.code;
    Bitmap ours = resizeImage(edge(), 16, 4, s.resize);
    Bitmap source = edge();
    Bitmap theirs(FreeImage_Rescale(source.get(), 37, 4, entry.filter));
    ASSERT_TRUE(ours);
    for (unsigned x = 0; x < 37; ++x)
      ASSERT_EQ(test::rgbAt(ours, x, 1), test::rgbAt(theirs, x, 1)) << int(entry.code) << " x=" << x;
  }
}

}  // namespace
}  // namespace quorbix
