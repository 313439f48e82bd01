#include <FreeImage.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "image/image_decoder.h"
#include "support/bitmap_fixtures.h"
#include "ops/image_watermark.h"
#include "ops/operations.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

using test::pixelAt;
using test::solidBitmap;

constexpr Rgba kGrey{100, 100, 100, 255};
constexpr Rgba kRed{255, 0, 0, 255};

// A 64 x 32 logo: left half transparent, right half opaque red.
Bitmap halfTransparentLogo() {
  Bitmap logo = solidBitmap(64, 32, 32, kRed);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) test::setPixel(logo, x, y, {0, 0, 0, 0});
  return logo;
}

std::string save(const Bitmap& bitmap, FREE_IMAGE_FORMAT format, const std::string& path) {
  EXPECT_TRUE(FreeImage_Save(format, bitmap.get(), path.c_str(), 0));
  return path;
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

uint32_t crc32(const std::string& data) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char c : data) {
    crc ^= c;
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::string bigEndian(uint32_t v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

// A PNG whose header claims width x height and whose pixel data is missing.
std::string pngHeaderOnly(uint32_t width, uint32_t height) {
  std::string ihdr = "IHDR" + bigEndian(width) + bigEndian(height) + std::string("\x08\x06\x00\x00\x00", 5);
  return std::string("\x89PNG\r\n\x1a\n", 8) + bigEndian(13) + ihdr + bigEndian(crc32(ihdr));
}

// The watermark operation as the file's conversion calls it for a picture
// watermark: no text, no font.
Bitmap watermarkImage(Bitmap image, int width, int height, const Settings& s) {
  return watermarkImage(std::move(image), width, height, s.watermark, {s.frame, std::string(), nullptr});
}

Settings imageSettings(const std::string& path) {
  Settings s;
  s.watermark.watermark = WATERMARK_IMAGE;
  s.watermark.picture.wmImage = path;
  return s;
}

class ImageWatermarkTest : public ::testing::Test {
 protected:
  test::TempFolder folder_;
  std::string path(const std::string& name) const { return folder_.path() + name; }
};

TEST_F(ImageWatermarkTest, PngLogoKeepsItsTransparencyThroughOpacityAndRotation) {
  Settings s = imageSettings(save(halfTransparentLogo(), FIF_PNG, path("logo.png")));
  Bitmap out = watermarkImage(solidBitmap(800, 600, 32, kGrey), 800, 600, s);
  ASSERT_TRUE(out);
  EXPECT_EQ(out.bpp(), 24u);
  test::Box box = test::differingBox(out, solidBitmap(800, 600, 24, kGrey));
  EXPECT_EQ(box.left, 726 + 32);  // the transparent half leaves the image visible
  EXPECT_EQ(box.top, 558);
  EXPECT_EQ(box.right, 726 + 63);
  EXPECT_EQ(box.bottom, 558 + 31);
  EXPECT_EQ(pixelAt(out, 726 + 40, 570), kRed);

  // Half opacity: every logo pixel at half its own alpha.
  s.watermark.picture.wmImageOpacity = 128;
  out = watermarkImage(solidBitmap(800, 600, 24, kGrey), 800, 600, s);
  const uint8_t half = uint8_t((128 * 255 + 127 * 100) >> 8);
  EXPECT_EQ(pixelAt(out, 726 + 40, 570), (Rgba{half, uint8_t((127 * 100) >> 8), uint8_t((127 * 100) >> 8), 255}));
  EXPECT_EQ(pixelAt(out, 726 + 10, 570), kGrey);

  // Turned by 90 degrees it is placed as a 32 x 64 watermark.
  s.watermark.picture.wmImageOpacity = 255;
  s.watermark.picture.wmImageRotation = 90;
  out = watermarkImage(solidBitmap(800, 600, 24, kGrey), 800, 600, s);
  box = test::differingBox(out, solidBitmap(800, 600, 24, kGrey));
  // Turned anticlockwise: the transparent left half becomes the bottom half.
  EXPECT_EQ(box.right, 800 - 11);
  EXPECT_EQ(box.top, 600 - 10 - 64);
  EXPECT_EQ(box.width(), 32);
  EXPECT_EQ(box.height(), 32);
}

TEST_F(ImageWatermarkTest, JpegAndBmpLogosAreOpaqueRectangles) {
  const Rgba teal{0, 128, 128, 255};
  for (FREE_IMAGE_FORMAT format : {FIF_JPEG, FIF_BMP}) {
    Settings s = imageSettings(save(solidBitmap(40, 20, 24, teal), format,
                                    path(format == FIF_JPEG ? "logo.jpg" : "logo.bmp")));
    s.watermark.picture.wmImagePosition = POS_TOPLEFT;
    Bitmap out = watermarkImage(solidBitmap(200, 100, 24, kGrey), 200, 100, s);
    test::Box box = test::differingBox(out, solidBitmap(200, 100, 24, kGrey));
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.width(), 40);
    EXPECT_EQ(box.height(), 20);
    Rgba middle = pixelAt(out, 30, 20);
    EXPECT_NEAR(middle.g, 128, 3);
    EXPECT_NEAR(middle.r, 0, 3);
  }
}

TEST_F(ImageWatermarkTest, ThirtyTwoBitBmpWithoutAlphaIsOpaque) {
  save(solidBitmap(10, 10, 32, {0, 0, 255, 0}), FIF_BMP, path("zero-alpha.bmp"));
  Bitmap picture = decodePicture(path("zero-alpha.bmp"));
  ASSERT_TRUE(picture);
  EXPECT_EQ(pixelAt(picture, 5, 5), (Rgba{0, 0, 255, 255}));
  // A PNG's zero alpha means transparent and stays.
  save(solidBitmap(10, 10, 32, {0, 0, 255, 0}), FIF_PNG, path("zero-alpha.png"));
  EXPECT_EQ(pixelAt(decodePicture(path("zero-alpha.png")), 5, 5).a, 0);
}

TEST_F(ImageWatermarkTest, GreyscaleUsesTheWeightedSum) {
  EXPECT_EQ(watermarkGrey(255, 0, 0), 76);
  EXPECT_EQ(watermarkGrey(0, 255, 0), 149);
  EXPECT_EQ(watermarkGrey(255, 255, 255), 255);
  Bitmap layer = solidBitmap(2, 1, 32, {255, 0, 0, 200});
  applyLayerStyle(layer, 255, true);
  EXPECT_EQ(pixelAt(layer, 1, 0), (Rgba{76, 76, 76, 200}));

  Settings s = imageSettings(save(solidBitmap(8, 8, 32, kRed), FIF_PNG, path("red.png")));
  s.watermark.picture.wmImageGreyscale = true;
  Bitmap out = watermarkImage(solidBitmap(50, 50, 24, kGrey), 50, 50, s);
  EXPECT_EQ(pixelAt(out, 35, 35), (Rgba{76, 76, 76, 255}));
}

TEST_F(ImageWatermarkTest, WideLogoIsCroppedAndFrameBoundaryWithoutFrameIsTheImage) {
  Bitmap wide = solidBitmap(300, 20, 24, kRed);
  Settings s = imageSettings(save(wide, FIF_PNG, path("wide.png")));
  s.watermark.picture.wmImagePosition = POS_TOPRIGHT;
  s.watermark.picture.wmImageBoundary = BOUNDARY_FRAME;  // FRAME is NONE: the room is the image
  Bitmap out = watermarkImage(solidBitmap(200, 100, 24, kGrey), 200, 100, s);
  test::Box box = test::differingBox(out, solidBitmap(200, 100, 24, kGrey));
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 189);
  EXPECT_EQ(box.top, 10);
}

TEST_F(ImageWatermarkTest, UnreadablePicturesLeaveTheImageConverted) {
  writeBytes(path("text.png"), "this is not a picture at all");
  std::string good;
  {
    Bitmap logo = solidBitmap(64, 64, 24, kRed);
    save(logo, FIF_PNG, path("full.png"));
    std::ifstream in(path("full.png"), std::ios::binary);
    good.assign(std::istreambuf_iterator<char>(in), {});
  }
  writeBytes(path("truncated.png"), good.substr(0, good.size() / 2));
  writeBytes(path("huge.png"), pngHeaderOnly(20000, 20000));
  writeBytes(path("empty.png"), "");
  for (const char* name : {"text.png", "truncated.png", "huge.png", "empty.png", "missing.png"}) {
    Settings s = imageSettings(path(name));
    Bitmap out = watermarkImage(solidBitmap(100, 100, 32, kGrey), 100, 100, s);
    ASSERT_TRUE(out) << name;
    EXPECT_EQ(out.bpp(), 24u) << name;
    EXPECT_TRUE(test::differingBox(out, solidBitmap(100, 100, 24, kGrey)).empty()) << name;
  }
  // The size limit is checked before any pixel is decoded.
  EXPECT_FALSE(decodePicture(path("huge.png")));
  EXPECT_TRUE(decodePicture(path("full.png")));
  EXPECT_FALSE(decodePicture(path("full.png"), 64 * 63));
}

}  // namespace
}  // namespace quorbix
