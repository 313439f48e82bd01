// The frame and the watermarks inside the per-file conversion: a fake
// converter delivers a plain grey picture, and the saved TIFF is read back.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "convert/convert_file.h"
#include "drawing/font.h"
#include "image/bitmap.h"
#include "support/bitmap_fixtures.h"
#include "support/fake_converter_runner.h"
#include "support/targa.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

namespace fs = std::filesystem;

struct Pixel {
  int r = 0, g = 0, b = 0;
  bool operator==(const Pixel&) const = default;
};

constexpr Pixel kGrey{90, 90, 90};

bool writeGreyTarga(const std::string& path, int width, int height) {
  const auto grey = static_cast<BYTE>(kGrey.r);
  const Bitmap picture = test::makeBitmap(static_cast<unsigned>(width), static_cast<unsigned>(height), 24, {grey, grey, grey});
  return test::writeTarga(picture, path);
}

class PipelineDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(root.path().empty());
    for (const char* sub : {"in", "out", "tmp"}) fs::create_directory(root.path() + sub);
    registry.build();
    settings.job.conversion = "tiff";
    run.outputFormatId = FIF_TIFF;
    run.saveFlags = TIFF_NONE;
    run.keepSourceDepth = true;
    settings.job.output = root.path() + "out/";
    converter.custom = [](int index, const std::string& target) {
      if (index == 6) writeGreyTarga(target, 300, 200);
    };
  }

  // Converts one input; returns the saved picture, or null.
  FIBITMAP* convert(const std::string& name) {
    file.inputFile = root.path() + "in/" + name;
    std::ofstream(file.inputFile) << "photo cd stand-in";
    ConvertContext context{settings, run, file, registry, converter, root.path() + "tmp/"};
    if (!convertFile(context)) return nullptr;
    saved_.reset(FreeImage_Load(FIF_TIFF, file.outputPath.c_str(), 0));
    return saved_.get();
  }

  Pixel at(int x, int y) const {
    FIBITMAP* image = saved_.get();
    const BYTE* p = FreeImage_GetScanLine(image, static_cast<int>(FreeImage_GetHeight(image)) - 1 - y) + x * 3;
    return {p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]};
  }

  // Every pixel of the saved picture.
  std::string pixels() const {
    std::string all;
    for (unsigned y = 0; y < FreeImage_GetHeight(saved_.get()); ++y) {
      all.append(reinterpret_cast<const char*>(FreeImage_GetScanLine(saved_.get(), static_cast<int>(y))),
                 FreeImage_GetLine(saved_.get()));
    }
    return all;
  }

  test::TempFolder root;
  FormatRegistry registry;
  Settings settings;
  RunContext run;
  FileState file;
  test::FakeConverter converter;
  Bitmap saved_;
};

TEST_F(PipelineDrawTest, FrameAndTextWatermarkReachTheSavedFile) {
  settings.frame.frame = FRAME_SOLID;
  settings.frame.frSolidLeft = settings.frame.frSolidRight = settings.frame.frSolidTop = settings.frame.frSolidBottom = 12;
  settings.frame.frSolidLeftColor = settings.frame.frSolidRightColor = "00FF00";
  settings.frame.frSolidTopColor = settings.frame.frSolidBottomColor = "00FF00";
  settings.watermark.watermark = WATERMARK_TEXT;
  settings.watermark.text.wmText = "File %n%";
  settings.watermark.text.wmBackColor = "FF0000";
  settings.watermark.text.wmBackOpacity = 255;
  settings.watermark.text.wmTextBoundary = BOUNDARY_FRAME;
  settings.watermark.text.wmTextPosition = POS_TOPLEFT;
  settings.watermark.text.wmTextXOffset = settings.watermark.text.wmTextYOffset = 0;
  drawing::FontRequest request;
  request.face = "Liberation Sans";
  run.watermarkFont = drawing::createFont(request);
  ASSERT_TRUE(run.watermarkFont);

  ASSERT_NE(convert("IMG0001.PCD"), nullptr);
  EXPECT_EQ(FreeImage_GetWidth(saved_.get()), 300u);
  EXPECT_EQ(FreeImage_GetHeight(saved_.get()), 200u);
  EXPECT_EQ(at(150, 5), (Pixel{0, 255, 0}));    // frame
  EXPECT_EQ(at(294, 100), (Pixel{0, 255, 0}));
  EXPECT_EQ(at(12, 12), (Pixel{255, 0, 0}));    // the box starts inside the frame
  EXPECT_EQ(at(150, 150), kGrey);

  // "%n%" shows the number the file has at its turn, although the rest of
  // the picture may be made before it.
  const std::string first = pixels();
  file.fileCounter = 2;
  ASSERT_NE(convert("IMG0002.PCD"), nullptr);
  EXPECT_NE(pixels(), first);
}

TEST_F(PipelineDrawTest, PictureDeletedDuringTheRunOnlyDropsTheWatermark) {
  const std::string logo = root.path() + "logo.png";
  FIBITMAP* blue = FreeImage_Allocate(20, 10, 24);
  for (int y = 0; y < 10; ++y) {
    BYTE* p = FreeImage_GetScanLine(blue, y);
    for (int x = 0; x < 20; ++x) p[x * 3 + FI_RGBA_BLUE] = 255, p[x * 3 + FI_RGBA_RED] = p[x * 3 + FI_RGBA_GREEN] = 0;
  }
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, blue, logo.c_str(), 0));
  FreeImage_Unload(blue);
  settings.watermark.watermark = WATERMARK_IMAGE;
  settings.watermark.picture.wmImage = logo;

  ASSERT_NE(convert("IMG0001.PCD"), nullptr);
  EXPECT_EQ(at(300 - 11, 200 - 11), (Pixel{0, 0, 255}));
  EXPECT_EQ(at(300 - 30, 200 - 20), (Pixel{0, 0, 255}));

  fs::remove(logo);
  ASSERT_NE(convert("IMG0002.PCD"), nullptr);
  EXPECT_EQ(at(300 - 11, 200 - 11), kGrey);
}

}  // namespace
}  // namespace quorbix
