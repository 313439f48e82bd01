#include "job/job_validation.h"

#include <gtest/gtest.h>

#include <FreeImage.h>
#include <fontconfig/fontconfig.h>

#include <unistd.h>

#include <cmath>
#include <limits>

#include "image/output_depth.h"
#include "job_test_support.h"
#include "platform/file_system.h"
#include "platform/thread.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

using Lines = std::vector<std::string>;

// A font that needs no font system (fontconfig keeps process-wide state
// that leak checkers report).
std::shared_ptr<drawing::Font> fakeFont(const drawing::FontRequest& request) {
  return std::make_shared<drawing::Font>(request, 1);
}

struct ValidationFixture : ::testing::Test {
  test::TempFolder tmp;
  Settings s;
  RunContext run;
  FormatRegistry registry;
  MessageCatalogue catalogue;
  test::LineRecorder lines;
  std::vector<drawing::FontRequest> fontRequests;
  bool fontAvailable = true;

  void SetUp() override {
    registry.build();
    catalogue.load();
    run.programFolder = tmp.path();
    test::makeFolder(tmp.path() + "in");
    test::makeFolder(tmp.path() + "out");
    s.job.input = tmp.path() + "in";
    s.job.output = tmp.path() + "out";
  }
  bool prepare(bool quiet = false) {
    FontFactory fonts = [this](const drawing::FontRequest& request) {
      fontRequests.push_back(request);
      return fontAvailable ? fakeFont(request) : nullptr;
    };
    return prepareRun(s, run, registry, catalogue, quiet, lines.sink(), fonts);
  }
  // The single error line of a failed quiet run.
  std::string quietError() {
    lines.lines.clear();
    EXPECT_FALSE(prepare(true));
    return lines.lines.size() == 1 ? lines.lines[0] : "(" + std::to_string(lines.lines.size()) + " lines)";
  }
};

TEST_F(ValidationFixture, DefaultEchoInDebugMode) {
  s.job.debug = true;
  s.job.input = "in";  // relative: below the program folder
  s.job.output = "";
  ASSERT_TRUE(prepare());
  EXPECT_EQ(lines.lines, (Lines{"Preparing...",
                                "Input: in",
                                "Output: " + tmp.path() + "in/",
                                "Conversion: tiff",
                                "PCD Tone: DISPLAY",
                                "TIFF BPP: 0",
                                "TIFF Compression: NONE",
                                "TIFF Color Model: RGB",
                                "Flip Horizontal: 0",
                                "Flip Vertical: 0",
                                "Greyscale: 0",
                                "Frame: NONE",
                                "Watermark: NONE",
                                "Filename Mask: %filename%.%ext%",
                                "File Timestamp: CURRENT",
                                "Keep Subfolders: 1"}));
  EXPECT_EQ(s.job.input, tmp.path() + "in/");
  EXPECT_EQ(s.job.output, tmp.path() + "in/");
  EXPECT_EQ(run.inputFormat, "pcd");
  EXPECT_TRUE(run.inputFile.empty());
  EXPECT_EQ(run.tone, pcd::ToneRendering::Display);
}

TEST_F(ValidationFixture, EveryOperationEchoedWithItsKeywords) {
  s.job.debug = true;
  s.load.pcdTone = PCD_TONE_FULLRANGE;
  s.save.tiffBpp = 24;
  s.save.tiffCompression = TIFFC_LZW;
  s.save.tiffColorModel = COLOR_MODEL_CMYK;
  s.rotate.rotationOn = true;
  s.rotate.rotationType = ROTATION_ADVANCED;
  s.rotate.rotation = -90;
  s.rotate.rotationBackColor = "FF00aa";
  s.resize.resizeOn = true;
  s.resize.width = 800;
  s.resize.height = 50;
  s.resize.heightUnit = UNIT_PERCENT;
  s.resize.keepAspectRatio = true;
  s.resize.resizeType = RESIZE_LARGEIMAGES;
  s.resize.resizeAlgorithm = ALGO_LANCZOS;
  s.flip.flipVertical = true;
  s.adjust.adjustOn = true;
  s.adjust.brightness = -100;
  s.adjust.contrast = 100;
  s.adjust.gamma = 1.0f;
  s.adjust.invert = true;
  s.greyscale.greyscale = true;
  s.threshold.thresholdOn = true;
  s.threshold.threshold = 300;  // not checked
  s.frame.frame = FRAME_SOLID;
  s.frame.frSolidLeft = 1;
  s.frame.frSolidRight = 2;
  s.frame.frSolidTop = 3;
  s.frame.frSolidBottom = -4;
  s.frame.frSolidLeftColor = "bad colour";
  s.frame.frSolidOpacity = 128;
  s.watermark.watermark = WATERMARK_TEXT;
  s.watermark.text.wmText = "(c) %yyyy%";
  s.watermark.text.wmFont = "Liberation Sans";
  s.watermark.text.wmFontSize = 12;
  s.watermark.text.wmFontStyle = STYLE_BOLDITALIC;
  s.watermark.text.wmFontEffect = EFFECT_STRIKETHROUGHT;
  s.watermark.text.wmTextAlignment = ALIGN_CENTER;
  s.watermark.text.wmTextPosition = POS_MIDDLECENTER;
  s.watermark.text.wmTextXOffset = -5;
  s.naming.fileTimestamp = TIMESTAMP_CUSTOM;
  s.naming.fileTimestampCustom = 1262347200;
  s.naming.noSubfolders = true;
  ASSERT_TRUE(prepare());
  const std::string in = tmp.path() + "in";
  const std::string out = tmp.path() + "out";
  EXPECT_EQ(lines.lines, (Lines{"Preparing...",
                                "Input: " + in,
                                "Output: " + out,
                                "Conversion: tiff",
                                "PCD Tone: FULLRANGE",
                                "TIFF BPP: 24",
                                "TIFF Compression: LZW",
                                "TIFF Color Model: CMYK",
                                "Image Rotation Type: ADVANCED",
                                "Image Rotation: -90",
                                "Image Rotation Back Color: FF00aa",
                                "Width: 800 PIXELS",
                                "Height: 50 PERCENT",
                                "Keep Aspect Ratio: 1",
                                "Image Resize Type: LARGEIMAGES",
                                "Image Resize Algorithm: LANCZOS",
                                "Flip Horizontal: 0",
                                "Flip Vertical: 1",
                                "Brightness: -100",
                                "Contrast: 100",
                                "Gamma: 1.00",
                                "Invert: 1",
                                "Greyscale: 1",
                                "Image Threshold: 300",
                                "Frame: SOLID",
                                "Frame left: 1",
                                "Frame right: 2",
                                "Frame top: 3",
                                "Frame bottom: -4",
                                "Frame left color: bad colour",
                                "Frame right color: 000000",
                                "Frame top color: 000000",
                                "Frame bottom color: 000000",
                                "Frame opacity: 128",
                                "Watermark: TEXT",
                                "Watermark text: (c) %yyyy%",
                                "Watermark font: Liberation Sans",
                                "Watermark font size: 12",
                                "Watermark font leading: 0",
                                "Watermark font color: FFFFFF",
                                "Watermark font style: BOLDITALIC",
                                "Watermark font effect: STRIKETHROUGHT",
                                "Watermark text antialiasing: 0",
                                "Watermark text alignment: CENTER",
                                "Watermark text padding: 0",
                                "Watermark text opacity: 255",
                                "Watermark background color: 000000",
                                "Watermark background opacity: 1",
                                "Watermark boundary: IMAGE",
                                "Watermark position: MIDDLECENTER",
                                "Watermark offset (x/y): -5/10",
                                "Watermark rotation: 0",
                                "Watermark size/mode: FIXED",
                                "Filename Mask: %filename%.%ext%",
                                "File Timestamp: CUSTOM",
                                "Custom Timestamp: 1262347200",
                                "Keep Subfolders: 0"}));
  ASSERT_EQ(fontRequests.size(), 1u);
  const drawing::FontRequest& r = fontRequests[0];
  EXPECT_EQ(r.face, "Liberation Sans");
  EXPECT_EQ(r.points, 12);
  EXPECT_TRUE(r.bold && r.italic && r.strikeThrough);
  EXPECT_FALSE(r.underline);
  EXPECT_TRUE(run.watermarkFont);
  EXPECT_EQ(run.tone, pcd::ToneRendering::FullRange);
}

TEST_F(ValidationFixture, ImageWatermarkEcho) {
  s.job.debug = true;
  s.watermark.watermark = WATERMARK_IMAGE;
  s.watermark.picture.wmImage = tmp.path() + "logo.png";
  test::writeFile(s.watermark.picture.wmImage, "png");
  s.watermark.picture.wmImagePosition = POS_TOPLEFT;
  s.watermark.picture.wmImageBoundary = BOUNDARY_FRAME;
  s.watermark.picture.wmImageGreyscale = true;
  ASSERT_TRUE(prepare());
  Lines tail(lines.lines.end() - 12, lines.lines.end());
  EXPECT_EQ(tail, (Lines{"Watermark: IMAGE",
                         "Watermark image: " + s.watermark.picture.wmImage,
                         "Watermark greyscale: 1",
                         "Watermark opacity: 255",
                         "Watermark boundary: FRAME",
                         "Watermark position: TOPLEFT",
                         "Watermark offset (x/y): 10/10",
                         "Watermark rotation: 0",
                         "Watermark size/mode: FIXED",
                         "Filename Mask: %filename%.%ext%",
                         "File Timestamp: CURRENT",
                         "Keep Subfolders: 1"}));
  EXPECT_TRUE(fontRequests.empty());
}

TEST_F(ValidationFixture, EchoLineComesBeforeTheErrorOfItsValue) {
  s.job.debug = true;
  s.adjust.adjustOn = true;
  s.adjust.gamma = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(prepare());
  ASSERT_GE(lines.lines.size(), 2u);
  EXPECT_EQ(lines.lines[lines.lines.size() - 2].rfind("Gamma: ", 0), 0u);
  EXPECT_EQ(lines.lines.back(), "Error: Invalid gamma value");
}

TEST_F(ValidationFixture, InputFileClassification) {
  test::writeFile(tmp.path() + "in/pic.pcd", "x");
  test::writeFile(tmp.path() + "in/empty.pcd", "");
  test::makeFolder(tmp.path() + "my.pics");

  s.job.input = tmp.path() + "in/pic.pcd";
  s.job.output = "";
  ASSERT_TRUE(prepare(true));
  EXPECT_TRUE(lines.lines.empty());
  EXPECT_EQ(run.inputFile, tmp.path() + "in/pic.pcd");
  EXPECT_EQ(s.job.input, "");
  EXPECT_EQ(s.job.output, tmp.path() + "in/");  // beside the input file

  s.job.input = tmp.path() + "in/empty.pcd";
  EXPECT_EQ(quietError(), "Error: Invalid input file");
  s.job.input = tmp.path() + "in/missing.pcd";
  EXPECT_EQ(quietError(), "Error: Invalid input file");
  s.job.input = tmp.path() + "my.pics";  // a folder with an extension is taken as a file
  EXPECT_EQ(quietError(), "Error: Invalid input file");
}

TEST_F(ValidationFixture, InputFileWithoutFolderPartWritesToTheCurrentFolder) {
  test::TempFolder cwd;
  test::writeFile(cwd.path() + "here.pcd", "x");
  char saved[4096];
  ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(::chdir(cwd.path().c_str()), 0);
  char current[4096];
  ASSERT_NE(::getcwd(current, sizeof current), nullptr);
  s.job.input = "here.pcd";
  s.job.output = "";
  bool ok = prepare(true);
  ASSERT_EQ(::chdir(saved), 0);
  ASSERT_TRUE(ok);
  EXPECT_EQ(run.inputFile, "here.pcd");
  EXPECT_EQ(s.job.output, std::string(current) + "/");
}

TEST_F(ValidationFixture, FolderErrors) {
  s.job.input = "../in";
  EXPECT_EQ(quietError(), "Error: Incorrect input folder");
  s.job.input = tmp.path() + "nowhere";
  EXPECT_EQ(quietError(), "Error: Invalid input folder");
  s.job.input = tmp.path() + "in";
  s.job.output = "..";
  EXPECT_EQ(quietError(), "Error: Incorrect output folder");
  s.job.input = tmp.path() + "in";
  s.job.output = "not-there";
  EXPECT_EQ(quietError(), "Error: Invalid output folder");
  EXPECT_FALSE(platform::exists(tmp.path() + "not-there"));
}

TEST_F(ValidationFixture, ConversionTypeIsExact) {
  s.job.conversion = "TIFF";
  EXPECT_EQ(quietError(), "Error: Invalid conversion type");
  s.job.input = tmp.path() + "in";
  s.job.output = tmp.path() + "out";
  s.job.conversion = "jpg";
  EXPECT_EQ(quietError(), "Error: Invalid conversion type");
}

TEST_F(ValidationFixture, TiffBitDepthComesFromTheRegistry) {
  s.save.tiffBpp = 7;
  EXPECT_EQ(quietError(), "Error: Invalid tiff-bpp value");
  const std::string allowed = registry.outputEntry("tiff").allowedDepths;
  ASSERT_FALSE(allowed.empty());
  s.job.input = tmp.path() + "in";
  s.job.output = tmp.path() + "out";
  s.save.tiffBpp = std::stoi(allowed.substr(0, allowed.find(',')));
  lines.lines.clear();
  EXPECT_TRUE(prepare(true));
  EXPECT_TRUE(lines.lines.empty());
}

TEST_F(ValidationFixture, NumericRanges) {
  struct Case {
    void (*set)(Settings&);
    const char* error;  // nullptr: passes
  };
  const Case cases[] = {
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.brightness = -100; }, nullptr},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.brightness = 100; }, nullptr},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.brightness = 101; }, "Error: Invalid brightness value"},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.brightness = -101; }, "Error: Invalid brightness value"},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.contrast = 101; }, "Error: Invalid contrast value"},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.gamma = 0.01f; }, nullptr},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.gamma = 9.99f; }, nullptr},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.gamma = 10.0f; }, "Error: Invalid gamma value"},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.gamma = 0.0f; }, "Error: Invalid gamma value"},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.gamma = std::nanf(""); }, "Error: Invalid gamma value"},
      {[](Settings& x) { x.adjust.adjustOn = true; x.adjust.gamma = INFINITY; }, "Error: Invalid gamma value"},
      {[](Settings& x) { x.adjust.brightness = 500; x.adjust.gamma = std::nanf(""); }, nullptr},  // not adjusting
      {[](Settings& x) { x.resize.resizeOn = true; x.resize.width = 800; }, "Error: Invalid height value"},
      {[](Settings& x) { x.resize.resizeOn = true; x.resize.height = 600; }, "Error: Invalid width value"},
      {[](Settings& x) { x.resize.resizeOn = true; x.resize.width = -1; x.resize.height = -1; }, nullptr},
      {[](Settings& x) { x.resize.width = 0; x.resize.height = 0; }, nullptr},  // not resizing
      {[](Settings& x) { x.threshold.thresholdOn = true; x.threshold.threshold = -7; }, nullptr},
  };
  int index = 0;
  for (const Case& c : cases) {
    Settings fresh;
    run = RunContext();
    run.programFolder = tmp.path();
    fresh.job.input = tmp.path() + "in";
    fresh.job.output = tmp.path() + "out";
    c.set(fresh);
    s = fresh;
    lines.lines.clear();
    bool ok = prepare(true);
    if (c.error) {
      EXPECT_FALSE(ok) << index;
      EXPECT_EQ(lines.lines, Lines{c.error}) << index;
    } else {
      EXPECT_TRUE(ok) << index;
      EXPECT_TRUE(lines.lines.empty()) << index;
    }
    ++index;
  }
}

TEST_F(ValidationFixture, ChecksRunInTheirOrder) {
  // Several faults at once: the first in check order wins.
  s.job.conversion = "png";
  s.resize.resizeOn = true;
  s.adjust.adjustOn = true;
  s.adjust.brightness = 1000;
  EXPECT_EQ(quietError(), "Error: Invalid conversion type");
  s.job.input = tmp.path() + "in";
  s.job.output = tmp.path() + "out";
  s.job.conversion = "tiff";
  s.save.tiffBpp = 3;
  EXPECT_EQ(quietError(), "Error: Invalid tiff-bpp value");
  s.job.input = tmp.path() + "in";
  s.job.output = tmp.path() + "out";
  s.save.tiffBpp = 0;
  EXPECT_EQ(quietError(), "Error: Invalid width value");
}

TEST_F(ValidationFixture, WatermarkFontAndImage) {
  s.watermark.watermark = WATERMARK_TEXT;
  fontAvailable = false;
  EXPECT_EQ(quietError(), "Error: Invalid watermark font");

  s.job.input = tmp.path() + "in";
  s.job.output = tmp.path() + "out";
  s.watermark.watermark = WATERMARK_IMAGE;
  s.watermark.picture.wmImage = tmp.path() + "empty.png";
  test::writeFile(s.watermark.picture.wmImage, "");
  EXPECT_EQ(quietError(), "Error: Invalid watermark image");
  s.job.input = tmp.path() + "in";
  s.job.output = tmp.path() + "out";
  s.watermark.picture.wmImage = tmp.path() + "in";  // a folder
  EXPECT_EQ(quietError(), "Error: Invalid watermark image");
}

TEST_F(ValidationFixture, UnknownFaceStillGivesAFont) {
  s.watermark.watermark = WATERMARK_TEXT;
  s.watermark.text.wmFont = "No Such Face Anywhere 123";
  s.watermark.text.wmFontSize = 14;
  ASSERT_TRUE(prepareRun(s, run, registry, catalogue, true, lines.sink(), drawing::createFont));
  ASSERT_TRUE(run.watermarkFont);
  EXPECT_EQ(run.watermarkFont->pixelSize(), 19);  // 14 x 96 / 72 = 18.67
  EXPECT_TRUE(lines.lines.empty());
  run.watermarkFont.reset();
  FcFini();  // fontconfig's process-wide state, so leak checkers see only ours
}

TEST_F(ValidationFixture, JobsComeFromTheOptionOrTheProcessors) {
  ASSERT_TRUE(prepare(true));
  const int processors = platform::onlineProcessorCount();
  EXPECT_EQ(run.jobs, processors < 16 ? processors : 16);
  for (const auto& [text, jobs] : {std::pair<const char*, int32_t>{"1", 1}, {"09", 9}, {"64", 64}}) {
    s.job.input = tmp.path() + "in";
    s.job.jobsGiven = true;
    s.job.jobs = text;
    ASSERT_TRUE(prepare(true)) << text;
    EXPECT_EQ(run.jobs, jobs);
  }
  s.job.input = tmp.path() + "in";
  s.job.jobs = "";  // --jobs= with nothing after it
  EXPECT_EQ(quietError(), "Error: Invalid jobs value");
}

TEST_F(ValidationFixture, DerivedValues) {
  s.save.tiffBpp = 0;
  s.save.tiffCompression = TIFFC_LZW;
  ASSERT_TRUE(prepare(true));
  EXPECT_EQ(run.outputFormatId, FIF_TIFF);
  EXPECT_EQ(run.targetBpp, 0);
  EXPECT_TRUE(run.keepSourceDepth);
  EXPECT_EQ(run.saveFlags, computeSaveFlags("tiff", s.save));

  const std::string allowed = registry.outputEntry("tiff").allowedDepths;
  s.job.input = tmp.path() + "in";
  s.save.tiffBpp = std::stoi(allowed.substr(0, allowed.find(',')));
  ASSERT_TRUE(prepare(true));
  EXPECT_EQ(run.targetBpp, s.save.tiffBpp);
  EXPECT_FALSE(run.keepSourceDepth);
}

}  // namespace
}  // namespace quorbix
