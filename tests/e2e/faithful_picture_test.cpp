// Runs that must not quietly give a worse picture than the file holds: a
// name near the file system's limit, a temporary disk that cannot take the
// picture, a portrait through FreeImage's fallback loader, CMYK output, and
// the tone rendering asked for. Real runs of the built quorbix on
// project-made PhotoCD files.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"
#include "support/fake_converter.h"
#include "pcd_writer/pcd_writer.h"
#include "platform/process.h"
#include "support/program_runner.h"
#include "support/test_paths.h"

namespace quorbix::test {
namespace {

namespace fs = std::filesystem;
using pcd_writer::PcdWriteOptions;
using pcd_writer::syntheticPicture;
using pcd_writer::writePcd;

struct FaithfulPicture : ::testing::Test {
  TempFolder tmp;
  std::string program = tmp.path() + "prog/";
  std::string in = tmp.path() + "in/";

  void SetUp() override {
    fs::create_directory(program);
    fs::create_directory(in);
  }
  // A project-made PhotoCD at `top`, a portrait stored a quarter turn round
  // when `portrait`.
  std::string photoCd(const std::string& name, pcd::Level top, bool portrait = false) {
    PcdWriteOptions options;
    options.topLevel = top;
    options.rotation = portrait ? pcd::Rotation::Quarter : pcd::Rotation::None;
    const std::string path = in + name;
    std::ofstream(path, std::ios::binary) << writePcd(syntheticPicture(top, portrait), options);
    return path;
  }
  // quorbix (with the built converter when `withConverter`; else whatever
  // `convert` the test put in `program`), quiet, from `input` into `output`.
  RunResult run(const std::string& input, const std::string& output, std::vector<std::string> extra = {},
                bool withConverter = true) {
    fs::create_directories(output);
    std::vector<std::string> args = {"-q", "-i", input, "-o", output};
    args.insert(args.end(), extra.begin(), extra.end());
    RunOptions options;
    options.programFolder = program;
    options.withConverter = withConverter;
    RunResult result = runQuorbix(args, options);
    EXPECT_EQ(result.exitCode, 0);
    return result;
  }
};

FIBITMAP* loadTiff(const std::string& path, int flags = TIFF_DEFAULT) {
  return FreeImage_Load(FIF_TIFF, path.c_str(), flags);
}

// Largest difference of a channel between two 24-bit pictures of one size;
// -1 when they are not that.
int largestDifference(FIBITMAP* a, FIBITMAP* b) {
  if (a == nullptr || b == nullptr || FreeImage_GetBPP(a) != 24 || FreeImage_GetBPP(b) != 24 ||
      FreeImage_GetWidth(a) != FreeImage_GetWidth(b) || FreeImage_GetHeight(a) != FreeImage_GetHeight(b)) {
    return -1;
  }
  int largest = 0;
  for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y) {
    const BYTE* p = FreeImage_GetScanLine(a, static_cast<int>(y));
    const BYTE* q = FreeImage_GetScanLine(b, static_cast<int>(y));
    for (unsigned i = 0; i < 3 * FreeImage_GetWidth(a); ++i) largest = std::max(largest, std::abs(p[i] - q[i]));
  }
  return largest;
}

// Mean difference of a channel between a 24-bit picture and a decoded one
// (rows top to bottom); -1 when the sizes differ.
double meanDifference(FIBITMAP* dib, const pcd::BgrImage& expected) {
  if (dib == nullptr || FreeImage_GetBPP(dib) != 24 || static_cast<int>(FreeImage_GetWidth(dib)) != expected.width ||
      static_cast<int>(FreeImage_GetHeight(dib)) != expected.height) {
    return -1;
  }
  double sum = 0;
  for (int y = 0; y < expected.height; ++y) {
    const BYTE* line = FreeImage_GetScanLine(dib, expected.height - 1 - y);
    const uint8_t* want = expected.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(expected.width) * 3;
    for (int x = 0; x < expected.width; ++x) {
      sum += std::abs(line[3 * x + FI_RGBA_BLUE] - want[3 * x]) + std::abs(line[3 * x + FI_RGBA_GREEN] - want[3 * x + 1]) +
             std::abs(line[3 * x + FI_RGBA_RED] - want[3 * x + 2]);
    }
  }
  return sum / (3.0 * expected.width * expected.height);
}

TEST_F(FaithfulPicture, NameOf250BytesConvertsAt16Base) {
  const std::string name(250, 'n');
  const std::string input = photoCd(name + ".pcd", pcd::Level::SixteenBase);
  run(input, tmp.path() + "out/");
  FIBITMAP* tiff = loadTiff(tmp.path() + "out/" + name + ".tiff");
  ASSERT_NE(tiff, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(tiff), 3072u);
  EXPECT_EQ(FreeImage_GetHeight(tiff), 2048u);
  FreeImage_Unload(tiff);
}

// The temporary disk is "full" for our converter: a file size limit far
// below any picture makes its every write fail. The file fails instead of
// coming out at Base through the fallback.
TEST_F(FaithfulPicture, FullTemporaryDiskFailsTheFile) {
  ASSERT_FALSE(builtConverter().empty());
  {
    std::ofstream script(program + "convert", std::ios::binary);
    script << "#!/bin/sh\ntrap '' XFSZ\nulimit -f 16\nexec " << shellQuote(builtConverter()) << " \"$@\"\n";
  }
  ASSERT_EQ(::chmod((program + "convert").c_str(), 0755), 0);
  const std::string input = photoCd("IMG0001.PCD", pcd::Level::FourBase);
  const RunResult result = run(input, tmp.path() + "out/", {}, false);
  EXPECT_EQ(result.lines, std::vector<std::string>{"Conversion stopped"});
  EXPECT_FALSE(fs::exists(tmp.path() + "out/IMG0001.tiff"));
}

TEST_F(FaithfulPicture, PortraitThroughTheFallbackIsUpright) {
  // A converter that never delivers: FreeImage's own loader gives Base.
  ASSERT_TRUE(writeFakeConverter(program, FakeConverterOptions()));
  const std::string input = photoCd("IMG0002.PCD", pcd::Level::Base, true);
  run(input, tmp.path() + "out/", {}, false);
  FIBITMAP* tiff = loadTiff(tmp.path() + "out/IMG0002.tiff");
  ASSERT_NE(tiff, nullptr);
  pcd::BgrImage upright;
  auto source = pcd::FileByteSource::open(input);
  ASSERT_TRUE(source);
  ASSERT_EQ(pcd::decodeSubImage(*source, 3, upright), pcd::DecodeStatus::Ok);
  ASSERT_EQ(upright.width, 512);
  // FreeImage's colours are far from ours, so the picture need only be much
  // nearer the upright scene than that scene upside down or turned round.
  pcd::BgrImage upsideDown = upright;
  pcd::BgrImage turnedRound = upright;
  const size_t row = static_cast<size_t>(upright.width) * 3;
  const size_t pixels = row * static_cast<size_t>(upright.height) / 3;
  for (int y = 0; y < upright.height; ++y) {
    std::copy_n(upright.pixels.data() + row * static_cast<size_t>(y), row,
                upsideDown.pixels.data() + row * static_cast<size_t>(upright.height - 1 - y));
  }
  for (size_t i = 0; i < pixels; ++i) {
    std::copy_n(upright.pixels.data() + 3 * i, 3, turnedRound.pixels.data() + 3 * (pixels - 1 - i));
  }
  const double difference = meanDifference(tiff, upright);
  EXPECT_GE(difference, 0.0);
  EXPECT_LT(difference, 0.75 * meanDifference(tiff, upsideDown));
  EXPECT_LT(difference, 0.75 * meanDifference(tiff, turnedRound));
  FreeImage_Unload(tiff);
}

// Read back by FreeImage's TIFF reader (libtiff underneath): a separated
// four-ink picture whose colours are those of the RGB output, at the default
// depth and at 32 bits (where the alpha once became black ink).
TEST_F(FaithfulPicture, CmykTiffReproducesTheRgbPicture) {
  const std::string input = photoCd("IMG0003.PCD", pcd::Level::Base);
  run(input, tmp.path() + "rgb/");
  run(input, tmp.path() + "cmyk/", {"--tiff-color-model=CMYK"});
  run(input, tmp.path() + "cmyk32/", {"--tiff-color-model=CMYK", "--tiff-bpp=32"});
  FIBITMAP* rgb = loadTiff(tmp.path() + "rgb/IMG0003.tiff");
  ASSERT_NE(rgb, nullptr);
  for (const std::string folder : {"cmyk/", "cmyk32/"}) {
    SCOPED_TRACE(folder);
    const std::string path = tmp.path() + folder + "IMG0003.tiff";
    FIBITMAP* inks = loadTiff(path, TIFF_CMYK);
    ASSERT_NE(inks, nullptr);
    EXPECT_EQ(FreeImage_GetColorType(inks), FIC_CMYK);
    EXPECT_EQ(FreeImage_GetBPP(inks), 32u);
    FreeImage_Unload(inks);
    FIBITMAP* seen = loadTiff(path);
    const int difference = largestDifference(rgb, seen);
    EXPECT_GE(difference, 0);
    EXPECT_LE(difference, 2);
    if (seen != nullptr) FreeImage_Unload(seen);
  }
  FreeImage_Unload(rgb);
}

// --pcd-tone (or the profile key) gives exactly the picture our converter
// renders with "-pcd-tone FULLRANGE", the default the one it renders without.
TEST_F(FaithfulPicture, ToneRenderingIsOurConverters) {
  ASSERT_FALSE(builtConverter().empty());
  const std::string input = photoCd("IMG0004.PCD", pcd::Level::Base);
  std::ofstream(tmp.path() + "tone.ini") << "[CLI]\n--PCD-TONE=FullRange\n";
  const std::vector<std::string> fullRange = {"-pcd-tone", "FULLRANGE"};
  const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
      {{}, {}}, {{"--pcd-tone=display"}, {}}, {{"--pcd-tone=FULLRANGE"}, fullRange},
      {{"--profile=" + tmp.path() + "tone.ini"}, fullRange}};
  for (const auto& [options, converterOptions] : cases) {
    SCOPED_TRACE(options.empty() ? "default" : options[0]);
    fs::remove_all(tmp.path() + "out/");
    run(input, tmp.path() + "out/", options);
    std::vector<std::string> arguments = converterOptions;
    arguments.insert(arguments.end(), {"-quiet", "-colorspace", "sRGB", input + "[3]", tmp.path() + "hand.tga"});
    ASSERT_EQ(platform::runProgram(builtConverter(), arguments), 0);
    FIBITMAP* saved = loadTiff(tmp.path() + "out/IMG0004.tiff");
    FIBITMAP* byHand = FreeImage_Load(FIF_TARGA, (tmp.path() + "hand.tga").c_str(), TARGA_DEFAULT);
    EXPECT_EQ(largestDifference(saved, byHand), 0);
    for (FIBITMAP* picture : {saved, byHand}) if (picture != nullptr) FreeImage_Unload(picture);
  }
}

TEST_F(FaithfulPicture, FullRangeToneDiffersFromTheDefault) {
  const std::string input = photoCd("IMG0005.PCD", pcd::Level::Base);
  run(input, tmp.path() + "display/");
  run(input, tmp.path() + "fullrange/", {"--pcd-tone=FULLRANGE"});
  FIBITMAP* display = loadTiff(tmp.path() + "display/IMG0005.tiff");
  FIBITMAP* fullRange = loadTiff(tmp.path() + "fullrange/IMG0005.tiff");
  EXPECT_GT(largestDifference(display, fullRange), 0);
  for (FIBITMAP* picture : {display, fullRange}) if (picture != nullptr) FreeImage_Unload(picture);
}

}  // namespace
}  // namespace quorbix::test
