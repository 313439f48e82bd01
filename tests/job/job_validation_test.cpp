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
  FormatRegistry registry;
  MessageCatalogue catalogue;
  test::LineRecorder lines;
  std::vector<drawing::FontRequest> fontRequests;
  bool fontAvailable = true;

  void SetUp() override {
    registry.build();
    catalogue.load();
    s.programFolder = tmp.path();
    test::makeFolder(tmp.path() + "in");
    test::makeFolder(tmp.path() + "out");
    s.input = tmp.path() + "in";
    s.output = tmp.path() + "out";
  }
  bool prepare(bool quiet = false) {
    FontFactory fonts = [this](const drawing::FontRequest& request) {
      fontRequests.push_back(request);
      return fontAvailable ? fakeFont(request) : nullptr;
    };
    return prepareRun(s, registry, catalogue, quiet, lines.sink(), fonts);
  }
  // The single error line of a failed quiet run.
  std::string quietError() {
    lines.lines.clear();
    EXPECT_FALSE(prepare(true));
    return lines.lines.size() == 1 ? lines.lines[0] : "(" + std::to_string(lines.lines.size()) + " lines)";
  }
};

TEST_F(ValidationFixture, DefaultEchoInDebugMode) {
  s.debug = true;
  s.input = "in";  // relative: below the program folder
  s.output = "";
  ASSERT_TRUE(prepare());
  EXPECT_EQ(lines.lines, (Lines{"Preparing...",
                                "Input: in",
                                "Output: " + tmp.path() + "in/",
                                "Conversion: tiff",
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
  EXPECT_EQ(s.input, tmp.path() + "in/");
  EXPECT_EQ(s.output, tmp.path() + "in/");
  EXPECT_EQ(s.inputFormat, "pcd");
  EXPECT_TRUE(s.inputFile.empty());
}

TEST_F(ValidationFixture, EveryOperationEchoedWithItsKeywords) {
  s.debug = true;
  s.tiffBpp = 24;
  s.tiffCompression = TIFFC_LZW;
  s.tiffColorModel = COLOR_MODEL_CMYK;
  s.rotationOn = true;
  s.rotationType = ROTATION_ADVANCED;
  s.rotation = -90;
  s.rotationBackColor = "FF00aa";
  s.resizeOn = true;
  s.width = 800;
  s.height = 50;
  s.heightUnit = UNIT_PERCENT;
  s.keepAspectRatio = true;
  s.resizeType = RESIZE_LARGEIMAGES;
  s.resizeAlgorithm = ALGO_LANCZOS;
  s.flipVertical = true;
  s.adjustOn = true;
  s.brightness = -100;
  s.contrast = 100;
  s.gamma = 1.0f;
  s.invert = true;
  s.greyscale = true;
  s.thresholdOn = true;
  s.threshold = 300;  // not checked
  s.frame = FRAME_SOLID;
  s.frSolidLeft = 1;
  s.frSolidRight = 2;
  s.frSolidTop = 3;
  s.frSolidBottom = -4;
  s.frSolidLeftColor = "bad colour";
  s.frSolidOpacity = 128;
  s.watermark = WATERMARK_TEXT;
  s.wmText = "(c) %yyyy%";
  s.wmFont = "Liberation Sans";
  s.wmFontSize = 12;
  s.wmFontStyle = STYLE_BOLDITALIC;
  s.wmFontEffect = EFFECT_STRIKETHROUGHT;
  s.wmTextAlignment = ALIGN_CENTER;
  s.wmTextPosition = POS_MIDDLECENTER;
  s.wmTextXOffset = -5;
  s.fileTimestamp = TIMESTAMP_CUSTOM;
  s.fileTimestampCustom = 1262347200;
  s.noSubfolders = true;
  ASSERT_TRUE(prepare());
  const std::string in = tmp.path() + "in";
  const std::string out = tmp.path() + "out";
  EXPECT_EQ(lines.lines, (Lines{"Preparing...",
                                "Input: " + in,
                                "Output: " + out,
                                "Conversion: tiff",
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
  EXPECT_TRUE(s.watermarkFont);
}

TEST_F(ValidationFixture, ImageWatermarkEcho) {
  s.debug = true;
  s.watermark = WATERMARK_IMAGE;
  s.wmImage = tmp.path() + "logo.png";
  test::writeFile(s.wmImage, "png");
  s.wmImagePosition = POS_TOPLEFT;
  s.wmImageBoundary = BOUNDARY_FRAME;
  s.wmImageGreyscale = true;
  ASSERT_TRUE(prepare());
  Lines tail(lines.lines.end() - 12, lines.lines.end());
  EXPECT_EQ(tail, (Lines{"Watermark: IMAGE",
                         "Watermark image: " + s.wmImage,
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
  s.debug = true;
  s.adjustOn = true;
  s.gamma = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(prepare());
  ASSERT_GE(lines.lines.size(), 2u);
  EXPECT_EQ(lines.lines[lines.lines.size() - 2].rfind("Gamma: ", 0), 0u);
  EXPECT_EQ(lines.lines.back(), "Error: Invalid gamma value");
}

TEST_F(ValidationFixture, InputFileClassification) {
  test::writeFile(tmp.path() + "in/pic.pcd", "x");
  test::writeFile(tmp.path() + "in/empty.pcd", "");
  test::makeFolder(tmp.path() + "my.pics");

  s.input = tmp.path() + "in/pic.pcd";
  s.output = "";
  ASSERT_TRUE(prepare(true));
  EXPECT_TRUE(lines.lines.empty());
  EXPECT_EQ(s.inputFile, tmp.path() + "in/pic.pcd");
  EXPECT_EQ(s.input, "");
  EXPECT_EQ(s.output, tmp.path() + "in/");  // beside the input file

  s.input = tmp.path() + "in/empty.pcd";
  EXPECT_EQ(quietError(), "Error: Invalid input file");
  s.input = tmp.path() + "in/missing.pcd";
  EXPECT_EQ(quietError(), "Error: Invalid input file");
  s.input = tmp.path() + "my.pics";  // a folder with an extension is taken as a file
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
  s.input = "here.pcd";
  s.output = "";
  bool ok = prepare(true);
  ASSERT_EQ(::chdir(saved), 0);
  ASSERT_TRUE(ok);
  EXPECT_EQ(s.inputFile, "here.pcd");
  EXPECT_EQ(s.output, std::string(current) + "/");
}

TEST_F(ValidationFixture, FolderErrors) {
  s.input = "../in";
  EXPECT_EQ(quietError(), "Error: Incorrect input folder");
  s.input = tmp.path() + "nowhere";
  EXPECT_EQ(quietError(), "Error: Invalid input folder");
  s.input = tmp.path() + "in";
  s.output = "..";
  EXPECT_EQ(quietError(), "Error: Incorrect output folder");
  s.input = tmp.path() + "in";
  s.output = "not-there";
  EXPECT_EQ(quietError(), "Error: Invalid output folder");
  EXPECT_FALSE(platform::exists(tmp.path() + "not-there"));
}

TEST_F(ValidationFixture, ConversionTypeIsExact) {
  s.conversion = "TIFF";
  EXPECT_EQ(quietError(), "Error: Invalid conversion type");
  s.input = tmp.path() + "in";
  s.output = tmp.path() + "out";
  s.conversion = "jpg";
  EXPECT_EQ(quietError(), "Error: Invalid conversion type");
}

TEST_F(ValidationFixture, TiffBitDepthComesFromTheRegistry) {
  s.tiffBpp = 7;
  EXPECT_EQ(quietError(), "Error: Invalid tiff-bpp value");
  const std::string allowed = registry.outputEntry("tiff").allowedDepths;
  ASSERT_FALSE(allowed.empty());
  s.input = tmp.path() + "in";
  s.output = tmp.path() + "out";
  s.tiffBpp = std::stoi(allowed.substr(0, allowed.find(',')));
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
      {[](Settings& x) { x.adjustOn = true; x.brightness = -100; }, nullptr},
      {[](Settings& x) { x.adjustOn = true; x.brightness = 100; }, nullptr},
      {[](Settings& x) { x.adjustOn = true; x.brightness = 101; }, "Error: Invalid brightness value"},
      {[](Settings& x) { x.adjustOn = true; x.brightness = -101; }, "Error: Invalid brightness value"},
      {[](Settings& x) { x.adjustOn = true; x.contrast = 101; }, "Error: Invalid contrast value"},
      {[](Settings& x) { x.adjustOn = true; x.gamma = 0.01f; }, nullptr},
      {[](Settings& x) { x.adjustOn = true; x.gamma = 9.99f; }, nullptr},
      {[](Settings& x) { x.adjustOn = true; x.gamma = 10.0f; }, "Error: Invalid gamma value"},
      {[](Settings& x) { x.adjustOn = true; x.gamma = 0.0f; }, "Error: Invalid gamma value"},
      {[](Settings& x) { x.adjustOn = true; x.gamma = std::nanf(""); }, "Error: Invalid gamma value"},
      {[](Settings& x) { x.adjustOn = true; x.gamma = INFINITY; }, "Error: Invalid gamma value"},
      {[](Settings& x) { x.brightness = 500; x.gamma = std::nanf(""); }, nullptr},  // not adjusting
      {[](Settings& x) { x.resizeOn = true; x.width = 800; }, "Error: Invalid height value"},
      {[](Settings& x) { x.resizeOn = true; x.height = 600; }, "Error: Invalid width value"},
      {[](Settings& x) { x.resizeOn = true; x.width = -1; x.height = -1; }, nullptr},
      {[](Settings& x) { x.width = 0; x.height = 0; }, nullptr},  // not resizing
      {[](Settings& x) { x.thresholdOn = true; x.threshold = -7; }, nullptr},
  };
  int index = 0;
  for (const Case& c : cases) {
    Settings fresh;
    fresh.programFolder = tmp.path();
    fresh.input = tmp.path() + "in";
    fresh.output = tmp.path() + "out";
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
  s.conversion = "png";
  s.resizeOn = true;
  s.adjustOn = true;
  s.brightness = 1000;
  EXPECT_EQ(quietError(), "Error: Invalid conversion type");
  s.input = tmp.path() + "in";
  s.output = tmp.path() + "out";
  s.conversion = "tiff";
  s.tiffBpp = 3;
  EXPECT_EQ(quietError(), "Error: Invalid tiff-bpp value");
  s.input = tmp.path() + "in";
  s.output = tmp.path() + "out";
  s.tiffBpp = 0;
  EXPECT_EQ(quietError(), "Error: Invalid width value");
}

TEST_F(ValidationFixture, WatermarkFontAndImage) {
  s.watermark = WATERMARK_TEXT;
  fontAvailable = false;
  EXPECT_EQ(quietError(), "Error: Invalid watermark font");

  s.input = tmp.path() + "in";
  s.output = tmp.path() + "out";
  s.watermark = WATERMARK_IMAGE;
  s.wmImage = tmp.path() + "empty.png";
  test::writeFile(s.wmImage, "");
  EXPECT_EQ(quietError(), "Error: Invalid watermark image");
  s.input = tmp.path() + "in";
  s.output = tmp.path() + "out";
  s.wmImage = tmp.path() + "in";  // a folder
  EXPECT_EQ(quietError(), "Error: Invalid watermark image");
}

TEST_F(ValidationFixture, UnknownFaceStillGivesAFont) {
  s.watermark = WATERMARK_TEXT;
  s.wmFont = "No Such Face Anywhere 123";
  s.wmFontSize = 14;
  ASSERT_TRUE(prepareRun(s, registry, catalogue, true, lines.sink(), drawing::createFont));
  ASSERT_TRUE(s.watermarkFont);
  EXPECT_EQ(s.watermarkFont->pixelSize(), 19);  // 14 x 96 / 72 = 18.67
  EXPECT_TRUE(lines.lines.empty());
  s.watermarkFont.reset();
  FcFini();  // fontconfig's process-wide state, so leak checkers see only ours
}

TEST_F(ValidationFixture, DerivedValues) {
  s.tiffBpp = 0;
  s.tiffCompression = TIFFC_LZW;
  ASSERT_TRUE(prepare(true));
  EXPECT_EQ(s.outputFormatId, FIF_TIFF);
  EXPECT_EQ(s.targetBpp, 0);
  EXPECT_TRUE(s.keepSourceDepth);
  EXPECT_EQ(s.saveFlags, computeSaveFlags("tiff", s));

  const std::string allowed = registry.outputEntry("tiff").allowedDepths;
  s.input = tmp.path() + "in";
  s.tiffBpp = std::stoi(allowed.substr(0, allowed.find(',')));
  ASSERT_TRUE(prepare(true));
  EXPECT_EQ(s.targetBpp, s.tiffBpp);
  EXPECT_FALSE(s.keepSourceDepth);
}

}  // namespace
}  // namespace quorbix
