#include <FreeImage.h>
#include <gtest/gtest.h>

#include "support/bitmap_fixtures.h"
#include "ops/operations.h"

namespace quorbix {
namespace {

using test::makeBitmap;
using test::Rgb;
using test::rgbAt;

Settings adjustment() {
  Settings s;
  s.adjust.adjustOn = true;
  return s;
}

// A 4 x 1 picture with four distinct colours.
Bitmap ramp(unsigned bpp) {
  Bitmap image = makeBitmap(4, 1, bpp);
  const Rgb colours[] = {{0, 0, 0}, {10, 100, 200}, {127, 128, 129}, {255, 254, 1}};
  for (unsigned x = 0; x < 4; ++x) test::setRgb(image, x, 0, colours[x], static_cast<BYTE>(60 * x));
  return image;
}

TEST(AdjustImage, NeutralValuesKeepPixelsButFixTheDepth) {
  Bitmap result = adjustImage(ramp(24), adjustment().adjust);
  ASSERT_TRUE(result);
  EXPECT_EQ(rgbAt(result, 1, 0), (Rgb{10, 100, 200}));
  EXPECT_EQ(rgbAt(result, 3, 0), (Rgb{255, 254, 1}));

  Bitmap oneBit = makeBitmap(5, 2, 1);
  test::setIndex(oneBit, 2, 1, 1);
  Bitmap fromOneBit = adjustImage(std::move(oneBit), adjustment().adjust);
  ASSERT_TRUE(fromOneBit);
  EXPECT_EQ(fromOneBit.bpp(), 24u);
  EXPECT_EQ(rgbAt(fromOneBit, 2, 1), (Rgb{255, 255, 255}));
  EXPECT_EQ(rgbAt(fromOneBit, 0, 0), (Rgb{0, 0, 0}));

  Bitmap fromDeep = adjustImage(test::makeRgb16(5, 2, 0x8080), adjustment().adjust);
  ASSERT_TRUE(fromDeep);
  EXPECT_EQ(FreeImage_GetImageType(fromDeep.get()), FIT_BITMAP);
  EXPECT_EQ(fromDeep.bpp(), 24u);
  EXPECT_EQ(rgbAt(fromDeep, 4, 1), (Rgb{128, 128, 128}));

  Bitmap grey = makeBitmap(5, 2, 8, {77, 77, 77});
  FIBITMAP* before = grey.get();
  Bitmap eightBit = adjustImage(std::move(grey), adjustment().adjust);
  EXPECT_EQ(eightBit.get(), before);  // 8 bits are adjusted as they are
  EXPECT_EQ(eightBit.bpp(), 8u);
}

TEST(AdjustImage, InvertGivesTheComplementOfEveryChannel) {
  Settings s = adjustment();
  s.adjust.invert = true;
  for (unsigned bpp : {24u, 32u}) {
    Bitmap result = adjustImage(ramp(bpp), s.adjust);
    ASSERT_TRUE(result);
    EXPECT_EQ(result.bpp(), bpp);
    EXPECT_EQ(rgbAt(result, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbAt(result, 1, 0), (Rgb{245, 155, 55}));
    EXPECT_EQ(rgbAt(result, 2, 0), (Rgb{128, 127, 126}));
    EXPECT_EQ(rgbAt(result, 3, 0), (Rgb{0, 1, 254}));
  }
  Bitmap alpha = adjustImage(ramp(32), s.adjust);
  EXPECT_EQ(test::alphaAt(alpha, 3, 0), 180);  // alpha is not a colour
}

TEST(AdjustImage, OffDoesNothingEvenWithValuesSet) {
  Settings s;
  s.adjust.invert = true;
  s.adjust.brightness = 50;
  Bitmap image = ramp(24);
  FIBITMAP* before = image.get();
  Bitmap result = adjustImage(std::move(image), s.adjust);
  EXPECT_EQ(result.get(), before);
  EXPECT_EQ(rgbAt(result, 1, 0), (Rgb{10, 100, 200}));
  EXPECT_FALSE(adjustImage(Bitmap(), adjustment().adjust));
}

TEST(AdjustImage, BrightnessAndGammaReachFreeImage) {
  Settings s = adjustment();
  s.adjust.brightness = 50;
  Bitmap brighter = adjustImage(makeBitmap(2, 2, 24, {100, 100, 100}), s.adjust);
  EXPECT_GT(rgbAt(brighter, 0, 0).r, 100);
  s = adjustment();
  s.adjust.gamma = 0.5f;  // below 1 darkens mid-tones in FreeImage
  Bitmap darker = adjustImage(makeBitmap(2, 2, 24, {100, 100, 100}), s.adjust);
  EXPECT_LT(rgbAt(darker, 0, 0).r, 100);
  s = adjustment();
  s.adjust.contrast = -100;
  Bitmap flat = adjustImage(makeBitmap(2, 2, 24, {20, 20, 20}), s.adjust);
  EXPECT_GT(rgbAt(flat, 0, 0).r, 20);
}

TEST(GreyscaleImage, GivesEightBitsWithoutAlphaFromAnyDepth) {
  Settings s;
  s.greyscale.greyscale = true;
  Bitmap transparent = makeBitmap(3, 3, 32, {255, 255, 255});
  test::setRgb(transparent, 1, 1, {255, 255, 255}, 0);
  Bitmap fromRgba = greyscaleImage(std::move(transparent), s.greyscale);
  ASSERT_TRUE(fromRgba);
  EXPECT_EQ(fromRgba.bpp(), 8u);
  EXPECT_EQ(FreeImage_GetColorType(fromRgba.get()), FIC_MINISBLACK);
  EXPECT_FALSE(FreeImage_IsTransparent(fromRgba.get()));

  Bitmap fromDeep = greyscaleImage(test::makeRgb16(3, 3, 0xFFFF), s.greyscale);
  ASSERT_TRUE(fromDeep);
  EXPECT_EQ(fromDeep.bpp(), 8u);
  EXPECT_EQ(test::indexAt(fromDeep, 2, 2), 255);

  s.greyscale.greyscale = false;
  Bitmap image = ramp(24);
  FIBITMAP* before = image.get();
  EXPECT_EQ(greyscaleImage(std::move(image), s.greyscale).get(), before);
}

Settings threshold(int32_t level) {
  Settings s;
  s.threshold.thresholdOn = true;
  s.threshold.threshold = level;
  return s;
}

// An 8-bit greyscale row holding 0, 127, 128, 254, 255.
Bitmap greyRow() {
  Bitmap image = makeBitmap(5, 1, 8);
  const BYTE values[] = {0, 127, 128, 254, 255};
  for (unsigned x = 0; x < 5; ++x) test::setIndex(image, x, 0, values[x]);
  return image;
}

// 1 for each white pixel of a 1-bit result.
std::string whites(const Bitmap& image) {
  std::string out;
  for (unsigned x = 0; x < image.width(); ++x) out += test::indexAt(image, x, 0) ? '1' : '0';
  return out;
}

TEST(ThresholdImage, BelowTheLevelIsBlackTheRestWhite) {
  Bitmap at128 = thresholdImage(greyRow(), threshold(128).threshold);
  ASSERT_TRUE(at128);
  EXPECT_EQ(at128.bpp(), 1u);
  EXPECT_EQ(whites(at128), "00111");
}

TEST(ThresholdImage, LevelIsTheLowByte) {
  EXPECT_EQ(whites(thresholdImage(greyRow(), threshold(256).threshold)), "11111");
  EXPECT_EQ(whites(thresholdImage(greyRow(), threshold(384).threshold)), "00111");
  EXPECT_EQ(whites(thresholdImage(greyRow(), threshold(-1).threshold)), "00001");
  EXPECT_EQ(whites(thresholdImage(greyRow(), threshold(0).threshold)), "11111");
}

TEST(ThresholdImage, DeepAndColourPicturesBecomeOneBit) {
  Bitmap fromDeep = thresholdImage(test::makeRgb16(3, 1, 0xFFFF), threshold(128).threshold);
  ASSERT_TRUE(fromDeep);
  EXPECT_EQ(fromDeep.bpp(), 1u);
  EXPECT_EQ(whites(fromDeep), "111");

  Bitmap fromColour = thresholdImage(ramp(24), threshold(128).threshold);
  ASSERT_TRUE(fromColour);
  EXPECT_EQ(fromColour.bpp(), 1u);
  EXPECT_EQ(test::indexAt(fromColour, 0, 0), 0);

  Settings off = threshold(128);
  off.threshold.thresholdOn = false;
  Bitmap image = greyRow();
  FIBITMAP* before = image.get();
  EXPECT_EQ(thresholdImage(std::move(image), off.threshold).get(), before);
}

TEST(TonalChain, ThresholdWorksOnTheGreyscaleOfTheAdjustedPicture) {
  Settings s = threshold(128);
  s.adjust.adjustOn = true;
  s.adjust.invert = true;
  s.greyscale.greyscale = true;
  Bitmap image = greyRow();
  image = adjustImage(std::move(image), s.adjust);
  image = greyscaleImage(std::move(image), s.greyscale);
  EXPECT_EQ(image.bpp(), 8u);
  image = thresholdImage(std::move(image), s.threshold);
  ASSERT_TRUE(image);
  // Inverted: 255, 128, 127, 1, 0.
  EXPECT_EQ(whites(image), "11000");
}

}  // namespace
}  // namespace quorbix
