#include <gtest/gtest.h>

#include "support/bitmap_fixtures.h"
#include "ops/operations.h"

namespace quorbix {
namespace {

using test::Rgb;
using test::rgbAt;

constexpr Rgb kMark{200, 10, 30};
constexpr unsigned kW = 7, kH = 5;

Settings flips(bool horizontal, bool vertical) {
  Settings s;
  s.flip.flipHorizontal = horizontal;
  s.flip.flipVertical = vertical;
  return s;
}

// A 7 x 5 picture, black but for one marked pixel at (1, 0).
Bitmap marked(unsigned bpp) {
  Bitmap image = test::makeBitmap(kW, kH, bpp);
  test::setRgb(image, 1, 0, kMark);
  return image;
}

TEST(FlipImage, MovesAKnownPixelAndKeepsSizeAndDepth) {
  const struct {
    bool h, v;
    unsigned x, y;
  } cases[] = {{false, false, 1, 0}, {true, false, kW - 2, 0}, {false, true, 1, kH - 1},
               {true, true, kW - 2, kH - 1}};
  for (unsigned bpp : {24u, 32u}) {
    for (const auto& c : cases) {
      Bitmap image = marked(bpp);
      image = flipImage(std::move(image), flips(c.h, c.v).flip);
      EXPECT_EQ(image.width(), kW);
      EXPECT_EQ(image.height(), kH);
      EXPECT_EQ(image.bpp(), bpp);
      EXPECT_EQ(rgbAt(image, c.x, c.y), kMark) << bpp << " " << c.h << c.v;
      if (c.h || c.v) {
        EXPECT_EQ(rgbAt(image, 1, 0), (Rgb{})) << bpp << " " << c.h << c.v;
      }
    }
  }
}

TEST(FlipImage, BothFlipsTurnTheCornerPixelOfAOneBitPicture) {
  Bitmap image = test::makeBitmap(9, 3, 1);
  test::setIndex(image, 0, 0, 1);
  image = flipImage(std::move(image), flips(true, true).flip);
  EXPECT_EQ(image.bpp(), 1u);
  EXPECT_EQ(test::indexAt(image, 8, 2), 1);
  EXPECT_EQ(test::indexAt(image, 0, 0), 0);
  EXPECT_FALSE(flipImage(Bitmap(), flips(true, true).flip));  // no image: nothing happens
}

}  // namespace
}  // namespace quorbix
