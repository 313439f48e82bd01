#include <FreeImage.h>
#include <gtest/gtest.h>

#include "support/bitmap_fixtures.h"
#include "ops/watermark_composite.h"
#include "ops/watermark_placement.h"

namespace quorbix {
namespace {

using test::pixelAt;
using test::solidBitmap;

constexpr Rgba kGrey{100, 100, 100, 255};
constexpr Rgba kGreen{0, 200, 0, 255};

WatermarkPlacement at(uint8_t position, int ox, int oy, int rotation = 0) {
  WatermarkPlacement p;
  p.position = position;
  p.xOffset = ox;
  p.yOffset = oy;
  p.rotation = rotation;
  return p;
}

TEST(PlacementTest, EveryPositionKeyword) {
  const Room room{0, 0, 400, 300};
  struct Case {
    uint8_t position;
    ImagePoint expected;
  };
  // A 100 x 40 block, offsets 50 / 30.
  const Case cases[] = {
      {POS_TOPLEFT, {50, 30}},       {POS_TOPCENTER, {150, 30}},     {POS_TOPRIGHT, {250, 30}},
      {POS_MIDDLELEFT, {50, 130}},   {POS_MIDDLECENTER, {150, 130}}, {POS_MIDDLERIGHT, {250, 130}},
      {POS_BOTTOMLEFT, {50, 230}},   {POS_BOTTOMCENTER, {150, 230}}, {POS_BOTTOMRIGHT, {250, 230}},
      {42, {0, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(watermarkPosition(room, at(c.position, 50, 30), 100, 40), c.expected)
        << "position code " << int(c.position);
  }
  // Halving truncates: (401 - 100) / 2 = 150.
  EXPECT_EQ(watermarkPosition({0, 0, 401, 301}, at(POS_MIDDLECENTER, 0, 0), 100, 40), (ImagePoint{150, 130}));
}

TEST(PlacementTest, FrameBoundaryUsesTheInsideOfAnActiveFrame) {
  Settings s;
  s.frame.frSolidLeft = s.frame.frSolidRight = s.frame.frSolidTop = s.frame.frSolidBottom = 20;
  Room whole = watermarkRoom(s.frame, BOUNDARY_FRAME, 400, 300);  // no frame on
  EXPECT_EQ(whole.left, 0);
  EXPECT_EQ(whole.width, 400);
  s.frame.frame = FRAME_SOLID;
  Room inside = watermarkRoom(s.frame, BOUNDARY_FRAME, 400, 300);
  EXPECT_EQ(watermarkPosition(inside, at(POS_TOPLEFT, 0, 0), 100, 40), (ImagePoint{20, 20}));
  EXPECT_EQ(inside.width, 360);
  EXPECT_EQ(inside.height, 260);
  EXPECT_EQ(watermarkRoom(s.frame, BOUNDARY_IMAGE, 400, 300).width, 400);
}

TEST(PlacementTest, BottomRightLogoStandsItsOffsetsInFromTheCorner) {
  Bitmap out = placeWatermark(solidBitmap(800, 600, 24, kGrey), solidBitmap(64, 32, 32, kGreen), 800, 600,
                              at(POS_BOTTOMRIGHT, 10, 10), {0, 0, 800, 600});
  ASSERT_TRUE(out);
  test::Box box = test::differingBox(out, solidBitmap(800, 600, 24, kGrey));
  EXPECT_EQ(box.left, 726);
  EXPECT_EQ(box.top, 558);
  EXPECT_EQ(box.width(), 64);
  EXPECT_EQ(box.height(), 32);
  EXPECT_EQ(pixelAt(out, 726, 558), kGreen);
}

TEST(PlacementTest, TooLargeWatermarkIsCroppedToItsTopLeft) {
  // 500 wide in a 400 wide image with offset 10: 390 columns survive.
  Bitmap mark = solidBitmap(500, 50, 32, kGreen);
  test::setPixel(mark, 389, 0, {255, 0, 0, 255});  // last kept column
  test::setPixel(mark, 390, 0, {0, 0, 255, 255});  // first column cut off
  Bitmap out = placeWatermark(solidBitmap(400, 300, 24, kGrey), test::cloneBitmap(mark), 400, 300,
                              at(POS_TOPRIGHT, 10, 10), {0, 0, 400, 300});
  test::Box box = test::differingBox(out, solidBitmap(400, 300, 24, kGrey));
  EXPECT_EQ(box.left, 0);  // 400 - 390 - 10
  EXPECT_EQ(box.width(), 390);
  EXPECT_EQ(pixelAt(out, 389, 10), (Rgba{255, 0, 0, 255}));

  // Centred, the offsets still shrink the room for the crop.
  out = placeWatermark(solidBitmap(400, 300, 24, kGrey), test::cloneBitmap(mark), 400, 300,
                       at(POS_MIDDLECENTER, 50, 50), {0, 0, 400, 300});
  box = test::differingBox(out, solidBitmap(400, 300, 24, kGrey));
  EXPECT_EQ(box.width(), 350);
  EXPECT_EQ(box.left, 25);
}

TEST(PlacementTest, WatermarkPartlyOutsideIsNotDrawn) {
  Bitmap out = placeWatermark(solidBitmap(200, 100, 24, kGrey), solidBitmap(20, 10, 32, kGreen), 200, 100,
                              at(POS_TOPLEFT, -5, 10), {0, 0, 200, 100});
  ASSERT_TRUE(out);
  EXPECT_TRUE(test::differingBox(out, solidBitmap(200, 100, 24, kGrey)).empty());
  // Offsets that leave no room at all.
  out = placeWatermark(solidBitmap(200, 100, 24, kGrey), solidBitmap(20, 10, 32, kGreen), 200, 100,
                       at(POS_TOPLEFT, 250, 0), {0, 0, 200, 100});
  ASSERT_TRUE(out);
  EXPECT_TRUE(test::differingBox(out, solidBitmap(200, 100, 24, kGrey)).empty());
}

TEST(PlacementTest, RotationTurnsTheBlockWithTransparentCorners) {
  Bitmap out = placeWatermark(solidBitmap(300, 300, 24, kGrey), solidBitmap(100, 40, 32, kGreen), 300, 300,
                              at(POS_TOPLEFT, 0, 0, 90), {0, 0, 300, 300});
  test::Box box = test::differingBox(out, solidBitmap(300, 300, 24, kGrey));
  EXPECT_EQ(box.width(), 40);
  EXPECT_EQ(box.height(), 100);

  out = placeWatermark(solidBitmap(300, 300, 24, kGrey), solidBitmap(100, 100, 32, kGreen), 300, 300,
                       at(POS_TOPLEFT, 0, 0, 45), {0, 0, 300, 300});
  box = test::differingBox(out, solidBitmap(300, 300, 24, kGrey));
  EXPECT_GT(box.width(), 135);  // about 100 x sqrt(2)
  EXPECT_EQ(pixelAt(out, 0, 0), kGrey);  // corner of the turned bitmap: transparent
  EXPECT_EQ(pixelAt(out, box.left + box.width() / 2, box.top + box.height() / 2), kGreen);
}

TEST(PlacementTest, WrongMeasuredSizeLosesTheImage) {
  EXPECT_FALSE(placeWatermark(solidBitmap(200, 100, 24, kGrey), solidBitmap(20, 10, 32, kGreen), 201, 100,
                              at(POS_TOPLEFT, 0, 0), {0, 0, 201, 100}));
}

// The direct blend must give FreeImage_Composite's pixels exactly.
TEST(PlacementTest, BlendMatchesFreeImageComposite) {
  Bitmap picture = test::noiseBitmap(64, 48, 1);
  Bitmap layer = solidBitmap(64, 48, 32, {});
  uint32_t seed = 99;
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      seed = seed * 1664525u + 1013904223u;
      uint8_t alpha = (x % 4 == 0) ? 0 : (x % 4 == 1) ? 255 : uint8_t(seed >> 24);
      test::setPixel(layer, x, y, {uint8_t(seed >> 16), uint8_t(seed >> 8), uint8_t(seed), alpha});
    }
  }
  Bitmap expected(FreeImage_Composite(layer.get(), FALSE, nullptr, picture.get()));
  ASSERT_TRUE(compositeOver(picture, layer, 0, 0));
  EXPECT_TRUE(test::samePixels(picture, expected));
  EXPECT_FALSE(compositeOver(picture, layer, 1, 0));  // one column outside
}

}  // namespace
}  // namespace quorbix
