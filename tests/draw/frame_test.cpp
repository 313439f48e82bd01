#include <FreeImage.h>
#include <gtest/gtest.h>

#include <climits>

#include "drawing/canvas.h"
#include "support/bitmap_fixtures.h"
#include "ops/frame_geometry.h"
#include "ops/operations.h"

namespace quorbix {
namespace {

using test::pixelAt;
using test::solidBitmap;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};

Settings solidFrame(int left, int right, int top, int bottom, const std::string& color = "FF0000") {
  Settings s;
  s.frame.frame = FRAME_SOLID;
  s.frame.frSolidLeft = left;
  s.frame.frSolidRight = right;
  s.frame.frSolidTop = top;
  s.frame.frSolidBottom = bottom;
  s.frame.frSolidLeftColor = s.frame.frSolidRightColor = s.frame.frSolidTopColor = s.frame.frSolidBottomColor = color;
  return s;
}

TEST(FrameTest, PaintsEachSideAndLeavesTheInsideAlone) {
  Bitmap out = frameImage(solidBitmap(200, 100, 24, kWhite), 200, 100, solidFrame(10, 10, 10, 10).frame);
  ASSERT_TRUE(out);
  EXPECT_EQ(out.width(), 200u);
  EXPECT_EQ(out.height(), 100u);
  EXPECT_EQ(out.bpp(), 24u);
  EXPECT_EQ(pixelAt(out, 100, 5), kRed);   // top
  EXPECT_EQ(pixelAt(out, 100, 94), kRed);  // bottom
  EXPECT_EQ(pixelAt(out, 4, 50), kRed);    // left
  EXPECT_EQ(pixelAt(out, 195, 50), kRed);  // right
  EXPECT_EQ(pixelAt(out, 0, 0), kRed);
  EXPECT_EQ(pixelAt(out, 199, 99), kRed);
  // Just inside the frame, and the middle, keep the picture.
  EXPECT_EQ(pixelAt(out, 100, 50), kWhite);
  EXPECT_EQ(pixelAt(out, 10, 50), kWhite);
  EXPECT_EQ(pixelAt(out, 189, 50), kWhite);
  EXPECT_EQ(pixelAt(out, 100, 10), kWhite);
  EXPECT_EQ(pixelAt(out, 100, 89), kWhite);
}

TEST(FrameTest, CornerIsSplitAlongItsDiagonal) {
  Settings s = solidFrame(20, 0, 20, 0);
  s.frame.frSolidTopColor = "FF0000";
  s.frame.frSolidLeftColor = "0000FF";
  Bitmap out = frameImage(solidBitmap(100, 80, 24, kWhite), 100, 80, s.frame);
  ASSERT_TRUE(out);
  EXPECT_EQ(pixelAt(out, 15, 3), kRed);   // above the diagonal
  EXPECT_EQ(pixelAt(out, 3, 15), kBlue);  // below it
  EXPECT_EQ(pixelAt(out, 50, 10), kRed);
  EXPECT_EQ(pixelAt(out, 10, 50), kBlue);
  // On the diagonal itself both colours mix; neither is pure.
  Rgba seam = pixelAt(out, 10, 10);
  EXPECT_GT(seam.r, 0);
  EXPECT_GT(seam.b, 0);
}

TEST(FrameTest, SingleSideReachesTheFullHeight) {
  Bitmap out = frameImage(solidBitmap(100, 60, 24, kWhite), 100, 60, solidFrame(15, 0, 0, 0).frame);
  ASSERT_TRUE(out);
  EXPECT_EQ(pixelAt(out, 7, 0), kRed);
  EXPECT_EQ(pixelAt(out, 14, 59), kRed);
  EXPECT_EQ(pixelAt(out, 15, 0), kWhite);
  EXPECT_EQ(pixelAt(out, 50, 0), kWhite);
  EXPECT_EQ(pixelAt(out, 50, 59), kWhite);
}

TEST(FrameTest, HalfOpacityBlackOverWhiteIsMidGrey) {
  Settings s = solidFrame(10, 10, 10, 10, "000000");
  s.frame.frSolidOpacity = 128;
  Bitmap out = frameImage(solidBitmap(100, 100, 24, kWhite), 100, 100, s.frame);
  ASSERT_TRUE(out);
  Rgba side = pixelAt(out, 50, 5);
  EXPECT_NEAR(side.r, 127, 2);
  EXPECT_EQ(side.r, side.g);
  EXPECT_EQ(side.r, side.b);
  EXPECT_EQ(pixelAt(out, 50, 50), kWhite);
}

TEST(FrameTest, AnyFrameTypeConvertsTo24BitsButNoneLeavesTheImage) {
  Bitmap out = frameImage(solidBitmap(30, 20, 32, {10, 20, 30, 40}), 30, 20, solidFrame(0, 0, 0, 0).frame);
  ASSERT_TRUE(out);
  EXPECT_EQ(out.bpp(), 24u);
  EXPECT_EQ(pixelAt(out, 15, 10), (Rgba{10, 20, 30, 255}));

  Settings unknownType = solidFrame(5, 5, 5, 5);
  unknownType.frame.frame = 7;
  out = frameImage(solidBitmap(30, 20, 32, kWhite), 30, 20, unknownType.frame);
  EXPECT_EQ(out.bpp(), 24u);
  EXPECT_EQ(pixelAt(out, 0, 0), kWhite);

  Bitmap in = solidBitmap(30, 20, 32, kWhite);
  FIBITMAP* original = in.get();
  Settings none = solidFrame(5, 5, 5, 5);
  none.frame.frame = FRAME_NONE;
  out = frameImage(std::move(in), 30, 20, none.frame);
  EXPECT_EQ(out.get(), original);
  EXPECT_EQ(out.bpp(), 32u);
}

// The frame is drawn band by band in tiles; it must give exactly the pixels
// of one image-sized overlay composited by FreeImage.
TEST(FrameTest, TiledBandsMatchTheFullOverlayComposite) {
  const int width = 2100, height = 90;  // wider than one tile
  Settings s = solidFrame(13, 7, 9, 21);
  s.frame.frSolidLeftColor = "0000FF";
  s.frame.frSolidTopColor = "12AB34";
  s.frame.frSolidRightColor = "FFFF00";
  s.frame.frSolidOpacity = 200;
  Bitmap picture = test::noiseBitmap(width, height, 7);

  auto overlay = drawing::Canvas::create(width, height);
  auto faded = drawing::Canvas::create(width, height);
  ASSERT_TRUE(overlay && faded);
  drawFrameShapes(*overlay, frameWidths(s.frame), width, height, s.frame);
  faded->paint(*overlay, s.frame.frSolidOpacity);
  Bitmap layer = faded->toBitmap();
  Bitmap expected(FreeImage_Composite(layer.get(), FALSE, nullptr, picture.get()));
  ASSERT_TRUE(expected);

  Bitmap out = frameImage(std::move(picture), width, height, s.frame);
  ASSERT_TRUE(out);
  EXPECT_TRUE(test::samePixels(out, expected));
}

TEST(FrameTest, OddValuesAreClampedNotFatal) {
  // Negative widths count as 0: nothing is painted.
  Bitmap out = frameImage(solidBitmap(40, 30, 24, kWhite), 40, 30, solidFrame(-5, -5, -5, -5).frame);
  ASSERT_TRUE(out);
  EXPECT_TRUE(test::differingBox(out, solidBitmap(40, 30, 24, kWhite)).empty());

  // Opacity above 255 acts as 255, below 0 as 0.
  Settings strong = solidFrame(5, 5, 5, 5);
  strong.frame.frSolidOpacity = 1000;
  EXPECT_EQ(pixelAt(frameImage(solidBitmap(40, 30, 24, kWhite), 40, 30, strong.frame), 2, 15), kRed);
  Settings invisible = solidFrame(5, 5, 5, 5);
  invisible.frame.frSolidOpacity = -3;
  EXPECT_EQ(pixelAt(frameImage(solidBitmap(40, 30, 24, kWhite), 40, 30, invisible.frame), 2, 15), kWhite);

  // Widths far beyond the picture cover it all.
  out = frameImage(solidBitmap(40, 30, 24, kWhite), 40, 30, solidFrame(INT_MAX, INT_MAX, INT_MAX, INT_MAX).frame);
  ASSERT_TRUE(out);
  EXPECT_EQ(pixelAt(out, 20, 15), kRed);
}

TEST(FrameTest, BandsCoverEachPixelOnce) {
  // Widths adding up to more than the image: the bands must not overlap.
  auto bands = frameBands({30, 30, 25, 25}, 40, 30);
  long long area = 0;
  for (const PixelRect& b : bands) area += static_cast<long long>(b.width) * b.height;
  EXPECT_EQ(area, 40 * 30);
  bands = frameBands({3, 4, 5, 6}, 40, 30);
  area = 0;
  for (const PixelRect& b : bands) area += static_cast<long long>(b.width) * b.height;
  EXPECT_EQ(area, 40 * 5 + 40 * 6 + (3 + 4) * (30 - 11));
}

}  // namespace
}  // namespace quorbix
