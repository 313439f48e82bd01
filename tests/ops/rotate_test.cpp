#include <FreeImage.h>
#include <gtest/gtest.h>

#include "support/bitmap_fixtures.h"
#include "ops/operations.h"

namespace quorbix {
namespace {

using test::makeBitmap;
using test::Rgb;
using test::rgbAt;

Settings rotation(int angle, uint8_t type = ROTATION_SIMPLE, const char* backColor = "000000") {
  Settings s;
  s.rotate.rotationOn = true;
  s.rotate.rotation = angle;
  s.rotate.rotationType = type;
  s.rotate.rotationBackColor = backColor;
  return s;
}

const Rgb kWhite{255, 255, 255};

TEST(RotateImage, AnglesOutsideOneTo359LeaveTheSameBitmap) {
  for (int angle : {0, 360, -90, -1, 720}) {
    Bitmap image = makeBitmap(30, 20, 8);
    FIBITMAP* before = image.get();
    Bitmap result = rotateImage(std::move(image), rotation(angle).rotate);
    EXPECT_EQ(result.get(), before) << angle;
    EXPECT_EQ(result.bpp(), 8u) << angle;
  }
  Settings off = rotation(90);
  off.rotate.rotationOn = false;
  Bitmap image = makeBitmap(30, 20, 24);
  FIBITMAP* before = image.get();
  EXPECT_EQ(rotateImage(std::move(image), off.rotate).get(), before);
  EXPECT_FALSE(rotateImage(Bitmap(), rotation(90).rotate));
}

TEST(RotateImage, LowAndHighDepthsComeBackAs24BitWithSidesSwapped) {
  for (unsigned bpp : {1u, 8u, 16u}) {
    Bitmap result = rotateImage(makeBitmap(30, 20, bpp), rotation(90).rotate);
    ASSERT_TRUE(result) << bpp;
    EXPECT_EQ(result.bpp(), 24u) << bpp;
    EXPECT_EQ(result.width(), 20u) << bpp;
    EXPECT_EQ(result.height(), 30u) << bpp;
  }
  Bitmap deep = rotateImage(test::makeRgb16(30, 20, 0xFFFF), rotation(90).rotate);
  ASSERT_TRUE(deep);
  EXPECT_EQ(FreeImage_GetImageType(deep.get()), FIT_BITMAP);
  EXPECT_EQ(deep.bpp(), 24u);
  EXPECT_EQ(deep.width(), 20u);
  EXPECT_EQ(rgbAt(deep, 10, 15), kWhite);
}

TEST(RotateImage, SimpleGrowsTheCanvasAdvancedKeepsIt) {
  Bitmap simple = rotateImage(makeBitmap(300, 200, 24, kWhite), rotation(45).rotate);
  ASSERT_TRUE(simple);
  // The bounding box of a 300 x 200 rectangle turned by 45 degrees is about
  // 354 x 354.
  EXPECT_NEAR(simple.width(), 354.0, 3.0);
  EXPECT_NEAR(simple.height(), 354.0, 3.0);

  Bitmap advanced = rotateImage(makeBitmap(300, 200, 8, kWhite), rotation(45, ROTATION_ADVANCED).rotate);
  ASSERT_TRUE(advanced);
  EXPECT_EQ(advanced.width(), 300u);
  EXPECT_EQ(advanced.height(), 200u);
  EXPECT_EQ(advanced.bpp(), 24u);
}

TEST(RotateImage, SimpleFillsCornersWithTheBackColour) {
  const struct {
    const char* text;
    Rgb corner;
  } cases[] = {{"FF0000", {255, 0, 0}}, {"ff0000", {255, 0, 0}}, {"ABC", {0, 0, 0}},
               {"0080ff", {0, 128, 255}}};
  for (const auto& c : cases) {
    Bitmap result = rotateImage(makeBitmap(300, 200, 24, kWhite), rotation(45, ROTATION_SIMPLE, c.text).rotate);
    ASSERT_TRUE(result) << c.text;
    EXPECT_EQ(rgbAt(result, 0, 0), c.corner) << c.text;
    EXPECT_EQ(rgbAt(result, result.width() - 1, result.height() - 1), c.corner) << c.text;
    EXPECT_EQ(rgbAt(result, result.width() / 2, result.height() / 2), kWhite) << c.text;
  }
}

TEST(RotateImage, AdvancedIgnoresTheBackColourAndFillsFromThePicture) {
  Bitmap result =
      rotateImage(makeBitmap(300, 200, 24, kWhite), rotation(45, ROTATION_ADVANCED, "FF0000").rotate);
  ASSERT_TRUE(result);
  EXPECT_EQ(rgbAt(result, 0, 0), kWhite);
  EXPECT_EQ(rgbAt(result, 299, 199), kWhite);
}

TEST(RotateImage, AdvancedTurnsAboutTheCentre) {
  Bitmap image = makeBitmap(300, 200, 24, kWhite);
  for (unsigned y = 98; y < 103; ++y)
    for (unsigned x = 148; x < 153; ++x) test::setRgb(image, x, y, {0, 0, 255});
  Bitmap result = rotateImage(std::move(image), rotation(90, ROTATION_ADVANCED).rotate);
  ASSERT_TRUE(result);
  EXPECT_EQ(rgbAt(result, 150, 100), (Rgb{0, 0, 255}));
  EXPECT_EQ(rgbAt(result, 150, 110), kWhite);
}

TEST(RotateImage, ThirtyTwoBitKeepsAlphaAndGetsTransparentCorners) {
  Bitmap image = makeBitmap(300, 200, 32, kWhite);
  Bitmap result = rotateImage(std::move(image), rotation(30, ROTATION_SIMPLE, "FF0000").rotate);
  ASSERT_TRUE(result);
  EXPECT_EQ(result.bpp(), 32u);
  EXPECT_EQ(test::alphaAt(result, 0, 0), 0);
  EXPECT_EQ(test::alphaAt(result, result.width() / 2, result.height() / 2), 255);
}

TEST(RotateImage, TinyPicturesSurviveEveryAngle) {
  for (int angle : {1, 45, 90, 179, 180, 271, 359}) {
    for (uint8_t type : {ROTATION_SIMPLE, ROTATION_ADVANCED}) {
      Bitmap result = rotateImage(makeBitmap(1, 1, 24, kWhite), rotation(angle, type).rotate);
      ASSERT_TRUE(result) << angle;
      EXPECT_GE(result.width(), 1u) << angle;
      EXPECT_GE(result.height(), 1u) << angle;
    }
  }
}

}  // namespace
}  // namespace quorbix
