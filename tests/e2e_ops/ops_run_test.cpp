// Rotation, resizing, flipping and the tonal operations in real runs of
// quorbix: a fake converter delivers a prepared Targa, and the saved TIFF is
// read back.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "image/bitmap.h"
#include "support/fake_converter.h"
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

constexpr Pixel kGrey{100, 100, 100};
constexpr Pixel kRed{220, 20, 40};
constexpr Pixel kLight{200, 200, 200};

// Pixel access with y counted from the top row.
Pixel at(const Bitmap& image, unsigned x, unsigned y) {
  RGBQUAD q{};
  FreeImage_GetPixelColor(image.get(), x, image.height() - 1 - y, &q);
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

void put(const Bitmap& image, unsigned x, unsigned y, Pixel p) {
  RGBQUAD q{static_cast<BYTE>(p.b), static_cast<BYTE>(p.g), static_cast<BYTE>(p.r), 255};
  FreeImage_SetPixelColor(image.get(), x, image.height() - 1 - y, &q);
}

// Grey, with a red pixel in the top-left corner and a light one in the
// bottom-right corner.
Bitmap makePicture(unsigned width, unsigned height) {
  Bitmap image(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 24));
  RGBQUAD grey{kGrey.b, kGrey.g, kGrey.r, 255};
  FreeImage_FillBackground(image.get(), &grey);
  put(image, 0, 0, kRed);
  put(image, width - 1, height - 1, kLight);
  return image;
}

class OpsRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* sub : {"prog", "in", "out"}) fs::create_directory(root.path() + sub);
    std::ofstream(root.path() + "in/IMG1.pcd") << "photo cd stand-in";
    useTarga(makePicture(30, 20));
  }

  void useTarga(const Bitmap& picture) {
    const std::string targa = root.path() + "picture.tga";
    ASSERT_TRUE(test::writeTarga(picture, targa));
    test::FakeConverterOptions options;
    options.targa = targa;
    ASSERT_TRUE(test::writeFakeConverter(root.path() + "prog/", options));
  }

  // Runs quorbix over the input folder with `options` added; returns the
  // saved picture (empty when nothing was saved).
  Bitmap run(std::vector<std::string> options) {
    std::vector<std::string> args = {"-i", root.path() + "in", "-o", root.path() + "out"};
    args.insert(args.end(), options.begin(), options.end());
    test::RunOptions runOptions;
    runOptions.programFolder = root.path() + "prog/";
    result = test::runQuorbix(args, runOptions);
    const std::string saved = root.path() + "out/IMG1.tiff";
    if (!fs::exists(saved)) return Bitmap();
    return Bitmap(FreeImage_Load(FIF_TIFF, saved.c_str(), TIFF_DEFAULT));
  }

  bool reported(const std::string& line) const {
    return std::find(result.lines.begin(), result.lines.end(), line) != result.lines.end();
  }

  test::TempFolder root;
  test::RunResult result;
};

TEST_F(OpsRunTest, PlainRunKeepsThePicture) {
  Bitmap saved = run({});
  ASSERT_TRUE(saved) << result.out;
  EXPECT_EQ(saved.width(), 30u);
  EXPECT_EQ(at(saved, 0, 0), kRed);
}

TEST_F(OpsRunTest, RotationNinetyTurnsTheSavedPicture) {
  Bitmap saved = run({"--rotation=90"});
  ASSERT_TRUE(saved) << result.out;
  ASSERT_EQ(saved.width(), 20u);
  ASSERT_EQ(saved.height(), 30u);
  // The same turn done directly by FreeImage, pixel for pixel.
  Bitmap source = makePicture(30, 20);
  RGBQUAD black{};
  Bitmap expected(FreeImage_Rotate(source.get(), 90.0, &black));
  for (unsigned y = 0; y < 30; ++y)
    for (unsigned x = 0; x < 20; ++x) ASSERT_EQ(at(saved, x, y), at(expected, x, y)) << x << "," << y;
  EXPECT_NE(at(saved, 0, 0), kRed);
}

TEST_F(OpsRunTest, WidthAndHeightResizeTheSavedPicture) {
  Bitmap pixels = run({"--width=15", "--height=7"});
  ASSERT_TRUE(pixels) << result.out;
  EXPECT_EQ(pixels.width(), 15u);
  EXPECT_EQ(pixels.height(), 7u);

  Bitmap percent = run({"--width=50", "--width-unit=percent", "--height=150", "--height-unit=percent"});
  ASSERT_TRUE(percent) << result.out;
  EXPECT_EQ(percent.width(), 15u);
  EXPECT_EQ(percent.height(), 30u);

  Bitmap kept = run({"--width=60", "--height=1", "--keep-aspect-ratio"});
  ASSERT_TRUE(kept) << result.out;
  EXPECT_EQ(kept.width(), 60u);
  EXPECT_EQ(kept.height(), 40u);
}

TEST_F(OpsRunTest, FlipHorizontalMirrorsTheSavedPicture) {
  Bitmap saved = run({"--flip-horizontal"});
  ASSERT_TRUE(saved) << result.out;
  EXPECT_EQ(at(saved, 29, 0), kRed);
  EXPECT_EQ(at(saved, 0, 19), kLight);
  EXPECT_EQ(at(saved, 0, 0), kGrey);
}

TEST_F(OpsRunTest, TonalOptionsChangeTheSavedPixels) {
  Bitmap brighter = run({"--brightness=50"});
  ASSERT_TRUE(brighter) << result.out;
  EXPECT_GT(at(brighter, 5, 5).r, kGrey.r);

  Bitmap inverted = run({"--invert"});
  ASSERT_TRUE(inverted) << result.out;
  EXPECT_EQ(at(inverted, 0, 0), (Pixel{35, 235, 215}));

  Bitmap grey = run({"--greyscale"});
  ASSERT_TRUE(grey) << result.out;
  const Pixel red = at(grey, 0, 0);
  EXPECT_EQ(red.r, red.g);
  EXPECT_EQ(red.g, red.b);
  EXPECT_EQ(at(grey, 5, 5), kGrey);

  Bitmap blackWhite = run({"--threshold=128"});
  ASSERT_TRUE(blackWhite) << result.out;
  EXPECT_EQ(at(blackWhite, 5, 5), (Pixel{0, 0, 0}));
  EXPECT_EQ(at(blackWhite, 29, 19), (Pixel{255, 255, 255}));
}

TEST_F(OpsRunTest, AbsurdSizesFailTheFileWithoutExhaustingMemory) {
  EXPECT_FALSE(run({"--width=2000000000", "--height=2000000000"}));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(reported("Conversion stopped")) << result.out;

  EXPECT_FALSE(run({"--width=2000000000", "--width-unit=percent", "--height=5"}));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(reported("Conversion stopped")) << result.out;
}

TEST_F(OpsRunTest, LongThinPictureWithProportionsKeptIsNotConverted) {
  useTarga(makePicture(1, 20000));
  EXPECT_FALSE(run({"--width=10", "--height=1000", "--keep-aspect-ratio"}));
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(reported("Conversion stopped")) << result.out;
}

TEST_F(OpsRunTest, AlmostFullTurnOfASinglePixelIsSaved) {
  useTarga(makePicture(1, 1));
  Bitmap saved = run({"--rotation=359"});
  ASSERT_TRUE(saved) << result.out;
  EXPECT_TRUE(reported("Files converted: 1 of 1")) << result.out;
  EXPECT_GE(saved.width(), 1u);
}

}  // namespace
}  // namespace quorbix
