// The frame and the watermarks through the built program: a fake `convert`
// beside it delivers a prepared grey Targa, and the saved TIFF is read back.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "image/bitmap.h"
#include "support/program_runner.h"
#include "support/targa.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

namespace fs = std::filesystem;

struct Pixel {
  int r = 0, g = 0, b = 0;
  bool operator==(const Pixel&) const = default;
};

constexpr int kWidth = 300, kHeight = 200;
constexpr Pixel kGrey{90, 90, 90};

Bitmap solid(int width, int height, int bpp, Pixel color) {
  Bitmap bitmap(FreeImage_Allocate(width, height, bpp));
  for (int y = 0; y < height; ++y) {
    BYTE* p = FreeImage_GetScanLine(bitmap.get(), y);
    for (int x = 0; x < width; ++x, p += bpp / 8) {
      p[FI_RGBA_RED] = static_cast<BYTE>(color.r);
      p[FI_RGBA_GREEN] = static_cast<BYTE>(color.g);
      p[FI_RGBA_BLUE] = static_cast<BYTE>(color.b);
      if (bpp == 32) p[FI_RGBA_ALPHA] = 255;
    }
  }
  return bitmap;
}

class QuorbixDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(root.path().empty());
    for (const char* sub : {"prog", "in", "out"}) fs::create_directory(root.path() + sub);
    Bitmap picture = solid(kWidth, kHeight, 24, kGrey);
    ASSERT_TRUE(test::writeTarga(picture, root.path() + "prepared.tga"));
    const std::string script = root.path() + "prog/convert";
    std::ofstream(script) << "#!/bin/sh\nfor a; do last=\"$a\"; done\ncp '" << root.path()
                          << "prepared.tga' \"$last\"\n";
    ::chmod(script.c_str(), 0755);
    addInput("IMG0001.PCD");
  }

  void addInput(const std::string& name) { std::ofstream(root.path() + "in/" + name) << "stand-in"; }

  // Runs quorbix on the input folder with `options`; true when every file converted.
  bool run(std::vector<std::string> options, int files = 1) {
    options.insert(options.begin(), {"-i", root.path() + "in/", "-o", root.path() + "out/"});
    test::RunOptions how;
    how.programFolder = root.path() + "prog/";
    test::RunResult result = test::runQuorbix(options, how);
    const std::string summary = "Files converted: " + std::to_string(files) + " of " + std::to_string(files);
    return std::find(result.lines.begin(), result.lines.end(), summary) != result.lines.end();
  }

  Pixel at(const std::string& name, int x, int y) {
    Bitmap saved(FreeImage_Load(FIF_TIFF, (root.path() + "out/" + name).c_str(), 0));
    if (!saved || saved.width() != kWidth || saved.height() != kHeight) return {-1, -1, -1};
    const BYTE* p = FreeImage_GetScanLine(saved.get(), kHeight - 1 - y) + x * (saved.bpp() / 8);
    return {p[FI_RGBA_RED], p[FI_RGBA_GREEN], p[FI_RGBA_BLUE]};
  }

  test::TempFolder root;
};

TEST_F(QuorbixDrawTest, FrameAndTextWatermark) {
  ASSERT_TRUE(run({"--fr-solid-left=10", "--fr-solid-right=10", "--fr-solid-top=10", "--fr-solid-bottom=10",
                   "--fr-solid-left-color=FF0000", "--fr-solid-right-color=FF0000",
                   "--fr-solid-top-color=00FF00", "--fr-solid-bottom-color=00FF00",
                   "--wm-text=Quorbix %n%", "--wm-back-color=0000FF", "--wm-back-opacity=255"}));
  EXPECT_EQ(at("IMG0001.tiff", 5, 100), (Pixel{255, 0, 0}));
  EXPECT_EQ(at("IMG0001.tiff", 150, 195), (Pixel{0, 255, 0}));
  EXPECT_EQ(at("IMG0001.tiff", 150, 100), kGrey);
  // The box's bottom-right corner lies 10 pixels in from the image's.
  EXPECT_EQ(at("IMG0001.tiff", kWidth - 11, kHeight - 11), (Pixel{0, 0, 255}));
  EXPECT_EQ(at("IMG0001.tiff", kWidth - 10, kHeight - 11), (Pixel{255, 0, 0}));  // under the frame
}

TEST_F(QuorbixDrawTest, PictureWatermarkAndUnreadablePicture) {
  const std::string logo = root.path() + "logo.png";
  Bitmap blue = solid(20, 10, 32, {0, 0, 255});
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, blue.get(), logo.c_str(), 0));
  ASSERT_TRUE(run({"--wm-image=" + logo, "--wm-image-position=TOPLEFT"}));
  EXPECT_EQ(at("IMG0001.tiff", 10, 10), (Pixel{0, 0, 255}));
  EXPECT_EQ(at("IMG0001.tiff", 29, 19), (Pixel{0, 0, 255}));
  EXPECT_EQ(at("IMG0001.tiff", 30, 10), kGrey);

  // Not a picture: every file still converts, without a watermark.
  std::ofstream(logo, std::ios::trunc) << "not a picture";
  addInput("IMG0002.PCD");
  ASSERT_TRUE(run({"--wm-image=" + logo, "--wm-image-position=TOPLEFT"}, 2));
  EXPECT_EQ(at("IMG0001.tiff", 10, 10), kGrey);
  EXPECT_EQ(at("IMG0002.tiff", 10, 10), kGrey);
}

TEST_F(QuorbixDrawTest, HostileWatermarkSettingsStillConvert) {
  const std::string longText(100000, 'M');
  EXPECT_TRUE(run({"--wm-text=" + longText, "--wm-font=No Such Face", "--wm-font-size=10000"}));
  EXPECT_TRUE(run({"--wm-text=a%eol%b%EOL%c", "--wm-font-size=0", "--wm-text-rotation=45",
                   "--fr-solid-left=-20", "--fr-solid-opacity=999", "--wm-text-opacity=-4"}));
  EXPECT_EQ(at("IMG0001.tiff", 0, 100), kGrey);  // a negative width draws nothing
}

}  // namespace
}  // namespace quorbix
