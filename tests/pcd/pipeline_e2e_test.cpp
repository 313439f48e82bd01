// The whole run with our converter: quorbix with `convert` beside it turns a
// PhotoCD folder into TIFF files whose pixels are exactly what the decoder
// makes of the picture's highest level, upright.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "pcd/byte_source.h"
#include "pcd/extension_files.h"
#include "pcd/pcd_decoder.h"
#include "pcd_writer/extension_writer.h"
#include "pcd_writer/pcd_writer.h"
#include "support/program_runner.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

// Number of pixels of the TIFF that differ from `expected` (-1 when the
// sizes differ or the file does not load).
long differingPixels(const std::string& tiff, const pcd::BgrImage& expected) {
  FIBITMAP* dib = FreeImage_Load(FIF_TIFF, tiff.c_str(), TIFF_DEFAULT);
  if (dib == nullptr) return -1;
  long differ = -1;
  if (static_cast<int>(FreeImage_GetWidth(dib)) == expected.width &&
      static_cast<int>(FreeImage_GetHeight(dib)) == expected.height && FreeImage_GetBPP(dib) == 24) {
    differ = 0;
    for (int y = 0; y < expected.height; ++y) {
      const BYTE* line = FreeImage_GetScanLine(dib, expected.height - 1 - y);  // bottom-up
      const uint8_t* want = expected.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(expected.width) * 3;
      for (int x = 0; x < expected.width; ++x) {
        const BYTE* p = line + 3 * x;
        const uint8_t* w = want + 3 * x;
        differ += p[FI_RGBA_BLUE] != w[0] || p[FI_RGBA_GREEN] != w[1] || p[FI_RGBA_RED] != w[2];
      }
    }
  }
  FreeImage_Unload(dib);
  return differ;
}

pcd::BgrImage decodeFile(const std::string& path, int subImage) {
  pcd::BgrImage image;
  auto source = pcd::FileByteSource::open(path);
  const auto extension = pcd::extensionFolderOf(path);
  if (source) pcd::decodeSubImage(*source, subImage, image, extension.get());
  return image;
}

// quorbix with our converter beside it, quiet, from `input` into `output`.
test::RunResult runWithConverter(const std::string& input, const std::string& output) {
  test::RunOptions run;
  run.withConverter = true;
  return test::runQuorbix({"-i", input, "-o", output, "-q"}, run);
}

std::string lowerCase(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

TEST(PcdPipeline, ProjectMadePortraitBecomesItsUpright4BaseTiff) {
  ASSERT_FALSE(test::builtConverter().empty());
  test::TempFolder dir;
  std::filesystem::create_directory(dir.path() + "in");
  std::filesystem::create_directory(dir.path() + "out");
  pcd_writer::PcdWriteOptions options;
  options.topLevel = pcd::Level::FourBase;
  options.rotation = pcd::Rotation::Quarter;
  const std::string input = dir.path() + "in/IMG0001.PCD";
  std::ofstream(input, std::ios::binary) << pcd_writer::writePcd(pcd_writer::syntheticPicture(pcd::Level::FourBase, true), options);

  const test::RunResult result = runWithConverter(dir.path() + "in", dir.path() + "out");
  ASSERT_EQ(result.exitCode, 0) << result.out;
  const pcd::BgrImage expected = decodeFile(input, 4);
  ASSERT_EQ(expected.width, 1024);
  ASSERT_EQ(expected.height, 1536);
  EXPECT_EQ(differingPixels(dir.path() + "out/IMG0001.tiff", expected), 0);
}

// A Pro PhotoCD disc copied to a Linux disk in lower case: the 64Base
// extension is found beside the pictures and gives the 6144 x 4096 TIFF;
// without one of its files the converter leaves nothing.
TEST(PcdPipeline, ProPhotoCdCopyBecomesIts64BaseTiff) {
  ASSERT_FALSE(test::builtConverter().empty());
  test::TempFolder dir;
  const std::string disc = dir.path() + "disc/photo_cd/";
  const std::string extension = disc + "ipe/img0001/64base/";
  std::filesystem::create_directories(disc + "images");
  std::filesystem::create_directories(extension);
  std::filesystem::create_directory(dir.path() + "out");
  const pcd_writer::ProPhotoCd pro = pcd_writer::writeProPhotoCd(pcd_writer::syntheticPicture(pcd::Level::SixtyFourBase),
                                                      pcd::Rotation::None, pcd_writer::ExtensionWriteOptions());
  const std::string input = disc + "images/img0001.pcd";
  std::ofstream(input, std::ios::binary) << pro.imagePac;
  for (const auto& [name, bytes] : pro.extension) std::ofstream(extension + lowerCase(name), std::ios::binary) << bytes;

  const test::RunResult result = runWithConverter(dir.path() + "disc", dir.path() + "out");
  ASSERT_EQ(result.exitCode, 0) << result.out;
  const pcd::BgrImage expected = decodeFile(input, 6);
  ASSERT_EQ(expected.width, 6144);
  ASSERT_EQ(expected.height, 4096);
  EXPECT_EQ(differingPixels(dir.path() + "out/photo_cd/images/img0001.tiff", expected), 0);

  // quorbix hands over a relative input as "./name": the extension is found
  // from there too.
  const std::string targa = dir.path() + "out/x.tga";
  const auto convertIn = [&](const std::string& folder, const std::string& name) {
    const std::string command = "cd '" + folder + "' && '" + test::builtConverter() + "' -quiet -colorspace sRGB '" + name +
                                "[6]' '" + targa + "' 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(convertIn(disc + "images", "./img0001.pcd"), 0);
  EXPECT_TRUE(std::filesystem::remove(targa));

  std::filesystem::remove(extension + "c2_0001.icr");
  EXPECT_EQ(convertIn(disc, "./images/img0001.pcd"), 1);
  EXPECT_FALSE(std::filesystem::exists(targa));
}

TEST(PcdPipeline, RealSamplesFolder) {
  if (test::samplesDir().empty()) GTEST_SKIP() << "no ../shared/samples";
  ASSERT_FALSE(test::builtConverter().empty());
  test::TempFolder dir;
  std::filesystem::create_directory(dir.path() + "out");
  const test::RunResult result = runWithConverter(test::samplesDir(), dir.path() + "out");
  ASSERT_EQ(result.exitCode, 0) << result.out;
  // 16Base, upright, no ladder run ending in a fake 64Base picture.
  const pcd::BgrImage portrait = decodeFile(test::samplesDir() + "portrait-16base.pcd", 5);
  ASSERT_EQ(portrait.width, 2048);
  ASSERT_EQ(portrait.height, 3072);
  EXPECT_EQ(differingPixels(dir.path() + "out/portrait-16base.tiff", portrait), 0);
  // Base only: its Base level, not a blow-up.
  EXPECT_EQ(differingPixels(dir.path() + "out/base-only-synthetic.tiff", decodeFile(test::samplesDir() + "base-only-synthetic.pcd", 3)), 0);
  // Nothing decodable, and FreeImage's loader refuses it too.
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "out/truncated-header.tiff"));
}

}  // namespace
}  // namespace quorbix
