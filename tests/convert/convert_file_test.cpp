#include "convert/convert_file.h"

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "support/fake_converter_runner.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

namespace fs = std::filesystem;
using test::FakeConverter;
using test::namesIn;


void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// An Image Pac shell: the signature at byte 2048 and `size` bytes in all.
std::string photoCdShell(size_t size) {
  std::string bytes(size, '\0');
  if (size >= 2055) bytes.replace(2048, 7, "PCD_IPI");
  return bytes;
}

// The Compression tag (259) of the first directory of a TIFF file; 0 when
// the file cannot be read.
unsigned tiffCompressionTag(const std::string& path) {
  std::string b = readBytes(path);
  if (b.size() < 8) return 0;
  bool little = b[0] == 'I';
  auto u16 = [&](size_t at) -> unsigned {
    unsigned lo = static_cast<unsigned char>(b[at]), hi = static_cast<unsigned char>(b[at + 1]);
    return little ? lo | hi << 8 : hi | lo << 8;
  };
  auto u32 = [&](size_t at) -> size_t { return little ? u16(at) | size_t{u16(at + 2)} << 16 : size_t{u16(at)} << 16 | u16(at + 2); };
  size_t ifd = u32(4);
  if (ifd + 2 > b.size()) return 0;
  unsigned count = u16(ifd);
  for (unsigned i = 0; i < count && ifd + 2 + i * 12 + 12 <= b.size(); ++i) {
    size_t entry = ifd + 2 + i * 12;
    if (u16(entry) == 259) return u16(entry + 8);
  }
  return 0;
}

// The converter's output path: a short name of the program's own in the
// run's private folder, whatever the input is called.
bool isOwnTemporaryTarga(const std::string& path, const std::string& folder) {
  if (path.compare(0, folder.size(), folder) != 0) return false;
  const std::string name = path.substr(folder.size());
  return name.size() > 4 && name.size() <= 32 && name.find('/') == std::string::npos && name.ends_with(".tga");
}

struct SavedPicture {
  unsigned width = 0, height = 0, bpp = 0;
  unsigned dotsPerMetreX = 0, dotsPerMetreY = 0;
};

SavedPicture readBack(const std::string& path) {
  SavedPicture picture;
  FIBITMAP* image = FreeImage_Load(FIF_TIFF, path.c_str(), TIFF_DEFAULT);
  if (image == nullptr) return picture;
  picture = {FreeImage_GetWidth(image), FreeImage_GetHeight(image), FreeImage_GetBPP(image),
             FreeImage_GetDotsPerMeterX(image), FreeImage_GetDotsPerMeterY(image)};
  FreeImage_Unload(image);
  return picture;
}

class ConvertFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(root.path().empty());
    inFolder = root.path() + "in/";
    outFolder = root.path() + "out/";
    tmpFolder = root.path() + "tmp/";
    for (const std::string& f : {inFolder, outFolder, tmpFolder}) fs::create_directory(f);
    registry.build();
    settings.job.conversion = "tiff";
    run.outputFormatId = FIF_TIFF;
    run.saveFlags = TIFF_NONE;
    run.targetBpp = 0;
    run.keepSourceDepth = true;
    settings.job.output = outFolder;
    settings.naming.filenameMask = "%filename%.%ext%";
    setInput("IMG0001.PCD", "not a photo cd");
  }

  void setInput(const std::string& name, const std::string& contents) {
    file.inputFile = inFolder + name;
    writeBytes(file.inputFile, contents);
  }

  // Converts the file as the worker does: its target depth starts as the
  // run's.
  bool convert() {
    file.targetBpp = run.targetBpp;
    ConvertContext context{settings, run, file, registry, converter, tmpFolder};
    return static_cast<bool>(convertFile(context));
  }

  test::TempFolder root;
  std::string inFolder, outFolder, tmpFolder;
  FormatRegistry registry;
  Settings settings;
  RunContext run;
  FileState file;
  FakeConverter converter;
};

TEST_F(ConvertFileTest, FirstRunDeliversAndIsSavedAsTiff) {
  converter.pictures[6] = {768, 512};
  ASSERT_TRUE(convert());
  EXPECT_EQ(converter.events, (std::vector<std::string>{"run 6", "pause 30"}));
  ASSERT_EQ(converter.arguments.size(), 1u);
  ASSERT_EQ(converter.arguments[0].size(), 5u);
  EXPECT_EQ(std::vector<std::string>(converter.arguments[0].begin(), converter.arguments[0].begin() + 4),
            (std::vector<std::string>{"-quiet", "-colorspace", "sRGB", file.inputFile + "[6]"}));
  EXPECT_TRUE(isOwnTemporaryTarga(converter.arguments[0][4], tmpFolder)) << converter.arguments[0][4];
  EXPECT_EQ(file.outputPath, outFolder + "IMG0001.tiff");
  SavedPicture saved = readBack(file.outputPath);
  EXPECT_EQ(saved.width, 768u);
  EXPECT_EQ(saved.height, 512u);
  EXPECT_EQ(saved.bpp, 24u);
  EXPECT_EQ(saved.dotsPerMetreX, 2835u);  // the Targa's 72 dpi is kept
  EXPECT_EQ(tiffCompressionTag(file.outputPath), 1u);  // none
  EXPECT_EQ(file.sourceDepth, 24);
  EXPECT_EQ(file.targetBpp, 24);
  EXPECT_EQ(file.resizedWidth, 768);
  EXPECT_EQ(file.resizedHeight, 512);
  EXPECT_TRUE(namesIn(tmpFolder).empty());
  EXPECT_EQ(namesIn(outFolder), std::vector<std::string>{"IMG0001.tiff"});
}

TEST_F(ConvertFileTest, LadderWorksDownUntilAFileAppears) {
  converter.pictures[4] = {768, 512};
  ASSERT_TRUE(convert());
  EXPECT_EQ(converter.events, (std::vector<std::string>{"run 6", "pause 30", "run 5", "pause 30", "run 4",
                                                        "pause 30"}));
}

TEST_F(ConvertFileTest, NothingLoadableTriesSevenLevelsAndFails) {
  EXPECT_FALSE(convert());
  EXPECT_EQ(converter.runs, (std::vector<int>{6, 5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(std::count(converter.events.begin(), converter.events.end(), "pause 30"), 7);
  EXPECT_TRUE(namesIn(outFolder).empty());
  EXPECT_TRUE(namesIn(tmpFolder).empty());
}

// The temporary name is the program's own, not the input's: a picture lying
// in the private folder under the input's name is not taken for its own.
TEST_F(ConvertFileTest, AnEarlierTemporaryFileDoesNotCount) {
  ASSERT_TRUE(test::writeTarga(tmpFolder + "IMG0001.tga", 64, 64));
  EXPECT_FALSE(convert());
  EXPECT_EQ(converter.runs.size(), 7u);
  EXPECT_EQ(namesIn(tmpFolder), std::vector<std::string>{"IMG0001.tga"});
}

TEST_F(ConvertFileTest, AnEmptyFileEndsTheLadderButLoadsNothing) {
  converter.custom = [](int, const std::string& target) { writeBytes(target, ""); };
  EXPECT_FALSE(convert());
  EXPECT_EQ(converter.runs, std::vector<int>{6});
  EXPECT_TRUE(namesIn(tmpFolder).empty());
}

TEST_F(ConvertFileTest, PanoramicPicturesAreExtractedOnceMore) {
  struct Case {
    unsigned width, height;
    int index;  // -1: used as it is
  };
  for (Case c : {Case{820, 512, 3}, Case{819, 512, -1}, Case{768, 512, -1}, Case{1024, 1728, 4},
                 Case{3277, 2048, 5}, Case{3276, 2048, -1}, Case{3328, 2080, -1}, Case{1700, 1000, -1}}) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    converter = FakeConverter();
    converter.pictures[6] = {c.width, c.height};
    converter.pictures[c.index] = {300, 100};
    ASSERT_TRUE(convert());
    if (c.index < 0) {
      EXPECT_EQ(converter.runs, std::vector<int>{6});
      EXPECT_EQ(readBack(file.outputPath).width, c.width);
    } else {
      EXPECT_EQ(converter.events,
                (std::vector<std::string>{"run 6", "pause 30", "pause 30", "run " + std::to_string(c.index)}));
      EXPECT_EQ(readBack(file.outputPath).width, 300u);
      EXPECT_EQ(file.resizedWidth, 300);
    }
    EXPECT_TRUE(namesIn(tmpFolder).empty());
  }
}

TEST_F(ConvertFileTest, FailedReextractionFailsTheFile) {
  converter.pictures[6] = {820, 512};
  EXPECT_FALSE(convert());
  EXPECT_EQ(converter.runs, (std::vector<int>{6, 3}));
  EXPECT_TRUE(namesIn(outFolder).empty());
}

TEST_F(ConvertFileTest, PhotoCdLoaderIsTheFallbackForRealImagePacs) {
  setInput("IMG0002.PCD", photoCdShell(786432));
  ASSERT_TRUE(convert());
  EXPECT_EQ(converter.runs.size(), 7u);
  SavedPicture saved = readBack(file.outputPath);
  EXPECT_EQ(saved.width, 768u);
  EXPECT_EQ(saved.height, 512u);
}

TEST_F(ConvertFileTest, PhotoCdLoaderRefusesEverythingElse) {
  for (const std::string& contents :
       {std::string(), photoCdShell(786431), photoCdShell(2054), std::string(900000, 'x'), photoCdShell(1000)}) {
    setInput("junk.pcd", contents);
    converter = FakeConverter();
    EXPECT_FALSE(convert()) << contents.size();
  }
  EXPECT_TRUE(namesIn(outFolder).empty());
  EXPECT_TRUE(namesIn(tmpFolder).empty());
}

TEST_F(ConvertFileTest, GarbageFromTheConverterIsSurvived) {
  converter.custom = [](int, const std::string& target) {
    std::string noise(5000, '\0');
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 7919) ^ (i >> 3));
    writeBytes(target, noise);
  };
  EXPECT_FALSE(convert());
  // A Targa cut off half way (a converter that died while writing).
  converter.custom = [](int, const std::string& target) {
    test::writeTarga(target, 200, 100);
    std::string whole = readBytes(target);
    writeBytes(target, whole.substr(0, whole.size() / 2));
  };
  EXPECT_FALSE(convert());
  EXPECT_TRUE(namesIn(outFolder).empty());
  EXPECT_TRUE(namesIn(tmpFolder).empty());
}

TEST_F(ConvertFileTest, SaveFlagsAndDepthReachTheFile) {
  converter.pictures[6] = {768, 512};
  run.saveFlags = TIFF_LZW;
  run.keepSourceDepth = false;
  run.targetBpp = 8;
  settings.naming.filenameMask = "%filename%_%bpp%_%width%x%height%.tif";
  ASSERT_TRUE(convert());
  EXPECT_EQ(file.outputPath, outFolder + "IMG0001_8_768x512.tif");
  EXPECT_EQ(tiffCompressionTag(file.outputPath), 5u);  // LZW
  EXPECT_EQ(readBack(file.outputPath).bpp, 8u);
}

TEST_F(ConvertFileTest, HostileNamesArePassedAsTheyAre) {
  converter.pictures[6] = {768, 512};
  for (const std::string& name : {std::string("my scan \"1\".pcd"), std::string("$(touch pwned); `id`.pcd"),
                                  std::string("line\nbreak.pcd"), std::string("-rf.pcd"),
                                  std::string("\xC3\xA9t\xC3\xA9 \xE2\x98\x83.pcd"), std::string("'quote'.pcd")}) {
    SCOPED_TRACE(name);
    setInput(name, "x");
    converter = FakeConverter();
    converter.pictures[6] = {768, 512};
    ASSERT_TRUE(convert());
    EXPECT_EQ(converter.arguments[0][3], file.inputFile + "[6]");
    std::string base = name.substr(0, name.size() - 4);
    EXPECT_TRUE(isOwnTemporaryTarga(converter.arguments[0][4], tmpFolder)) << converter.arguments[0][4];
    EXPECT_EQ(file.outputPath, outFolder + base + ".tiff");
    EXPECT_EQ(readBack(file.outputPath).width, 768u);
  }
  EXPECT_FALSE(fs::exists(inFolder + "pwned"));
  EXPECT_FALSE(fs::exists("pwned"));
  EXPECT_TRUE(namesIn(tmpFolder).empty());
}

TEST_F(ConvertFileTest, RelativeInputIsGivenWithItsFolder) {
  converter.pictures[6] = {768, 512};
  file.inputFile = "-x.pcd";  // never read: the converter is a fake
  convert();
  ASSERT_FALSE(converter.arguments.empty());
  EXPECT_EQ(converter.arguments[0][3], "./-x.pcd[6]");
}

// Only our own converter is told of FULLRANGE, at every run; with DISPLAY,
// and for any other converter whatever the tone, the arguments are as always.
TEST_F(ConvertFileTest, OnlyOurConverterIsToldOfFullRange) {
  for (const bool own : {false, true}) {
    for (const pcd::ToneRendering tone : {pcd::ToneRendering::Display, pcd::ToneRendering::FullRange}) {
      converter = FakeConverter();
      converter.own = own;
      converter.pictures[5] = {820, 512};  // panoramic: extracted once more at 3
      converter.pictures[3] = {300, 100};
      run.tone = tone;
      ASSERT_TRUE(convert());
      ASSERT_EQ(converter.runs, (std::vector<int>{6, 5, 3}));
      for (size_t i = 0; i < converter.runs.size(); ++i) {
        std::vector<std::string> expected;
        if (own && tone == pcd::ToneRendering::FullRange) expected = {"-pcd-tone", "FULLRANGE"};
        expected.insert(expected.end(), {"-quiet", "-colorspace", "sRGB",
                                         file.inputFile + "[" + std::to_string(converter.runs[i]) + "]",
                                         converter.arguments[i].back()});
        EXPECT_EQ(converter.arguments[i], expected) << own << " " << i;
      }
    }
  }
}

TEST_F(ConvertFileTest, FailedSaveKeepsTheEarlierOutput) {
  converter.pictures[6] = {768, 512};
  ASSERT_TRUE(convert());
  const std::string good = readBytes(file.outputPath);
  ASSERT_FALSE(good.empty());
  converter = FakeConverter();
  converter.pictures[6] = {700, 500};
  run.keepSourceDepth = false;
  run.targetBpp = 12;  // no such conversion: nothing to save
  EXPECT_FALSE(convert());
  // A writer that refuses the picture (GIF takes no 24-bit pictures) fails
  // after the temporary file was made.
  run.targetBpp = 24;
  run.outputFormatId = FIF_GIF;
  converter = FakeConverter();
  converter.pictures[6] = {700, 500};
  EXPECT_FALSE(convert());
  EXPECT_TRUE(readBytes(outFolder + "IMG0001.tiff") == good);
  EXPECT_EQ(namesIn(outFolder), std::vector<std::string>{"IMG0001.tiff"});
}

TEST_F(ConvertFileTest, UnwritableOrMissingOutputFolderFailsCleanly) {
  converter.pictures[6] = {768, 512};
  file.relativeFolder = "missing/";
  EXPECT_FALSE(convert());
  file.relativeFolder = "";
  fs::create_directory(outFolder + "IMG0001.tiff");  // a folder where the file should go
  EXPECT_FALSE(convert());
  EXPECT_TRUE(fs::is_directory(outFolder + "IMG0001.tiff"));
  EXPECT_EQ(namesIn(outFolder), std::vector<std::string>{"IMG0001.tiff"});
  if (::geteuid() != 0) {
    fs::remove(outFolder + "IMG0001.tiff");
    ::chmod(outFolder.c_str(), 0500);
    EXPECT_FALSE(convert());
    ::chmod(outFolder.c_str(), 0700);
    EXPECT_TRUE(namesIn(outFolder).empty());
  }
  EXPECT_TRUE(namesIn(tmpFolder).empty());
}

TEST_F(ConvertFileTest, NoPrivateFolderNoConversion) {
  converter.pictures[6] = {768, 512};
  // A file of the user's in the current folder with the temporary name.
  const fs::path before = fs::current_path();
  fs::current_path(inFolder);
  ASSERT_TRUE(test::writeTarga(inFolder + "IMG0001.tga", 8, 8));
  ConvertContext context{settings, run, file, registry, converter, ""};
  EXPECT_FALSE(convertFile(context));
  fs::current_path(before);
  EXPECT_TRUE(converter.runs.empty());
  EXPECT_TRUE(fs::exists(inFolder + "IMG0001.tga"));
}

}  // namespace
}  // namespace quorbix

namespace quorbix {
namespace {

// Real Image Pacs, when the shared samples are there: with no converter at
// all, the whole ones still load through FreeImage's loader at Base size,
// upright (the portrait stands), and the cut-off one fails.
TEST_F(ConvertFileTest, RealSamplesThroughTheFallback) {
  const std::string samples = test::samplesDir();
  if (samples.empty()) GTEST_SKIP() << "no shared samples";
  struct Sample {
    const char* name;
    unsigned width, height;
  };
  for (const Sample& sample : {Sample{"portrait-16base.pcd", 512, 768}, Sample{"base-only-synthetic.pcd", 768, 512}}) {
    SCOPED_TRACE(sample.name);
    file.inputFile = samples + sample.name;
    converter = FakeConverter();
    ASSERT_TRUE(convert());
    SavedPicture saved = readBack(file.outputPath);
    EXPECT_EQ(saved.width, sample.width);
    EXPECT_EQ(saved.height, sample.height);
  }
  file.inputFile = samples + "truncated-header.pcd";
  converter = FakeConverter();
  EXPECT_FALSE(convert());
  EXPECT_TRUE(namesIn(tmpFolder).empty());
}

}  // namespace
}  // namespace quorbix
