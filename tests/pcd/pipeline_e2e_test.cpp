// The whole run with our converter: quorbix with `convert` beside it turns a
// PhotoCD folder into TIFF files whose pixels are exactly what the decoder
// makes of the picture's highest level, upright.
#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include <lcms2.h>
#include <sys/wait.h>
#include <tiffio.h>

#include <ctime>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "pcd/byte_source.h"
#include "pcd/extension_files.h"
#include "pcd/image_pac_facts.h"
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

// The same count through netpbm's tifftopnm, a reader of its own.
long differingPixelsByNetpbm(const std::string& tiff, const pcd::BgrImage& expected) {
  const std::string ppm = tiff + ".ppm";
  if (std::system(("tifftopnm -quiet '" + tiff + "' > '" + ppm + "'").c_str()) != 0) return -1;
  std::ifstream in(ppm, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  in >> magic >> width >> height >> maximum;
  in.get();
  if (magic != "P6" || width != expected.width || height != expected.height || maximum != 255) return -1;
  std::string rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, '\0');
  if (!in.read(rgb.data(), static_cast<std::streamsize>(rgb.size()))) return -1;
  long differ = 0;
  for (size_t i = 0; i < rgb.size(); i += 3) {
    const uint8_t* w = expected.pixels.data() + i;  // B, G, R
    differ += static_cast<uint8_t>(rgb[i]) != w[2] || static_cast<uint8_t>(rgb[i + 1]) != w[1] ||
              static_cast<uint8_t>(rgb[i + 2]) != w[0];
  }
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

// What a TIFF says beside its pixels, read back with libtiff.
struct ArchiveTags {
  std::string profile;  // the ICC profile's bytes; empty without one
  std::string make;
  std::string model;
  std::string xmp;
  std::string dateTimeDigitized;   // of the XMP packet
  std::string fileSource;
  std::string bodySerialNumber;
  bool exifDirectory = false;
  uint16_t predictor = 1;
  uint32_t rowsPerStrip = 0;
};

// The text of one XMP property; empty without it.
std::string xmpProperty(const std::string& xmp, const std::string& name) {
  const std::string open = "<" + name + ">";
  const size_t start = xmp.find(open);
  if (start == std::string::npos) return "";
  const size_t end = xmp.find("</" + name + ">", start);
  return end == std::string::npos ? "" : xmp.substr(start + open.size(), end - start - open.size());
}

uint32_t bigEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// sRGB's decoding curve: encoded value to linear light.
double srgbToLinear(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

// An embedded profile as Little CMS reads it: a version 2 RGB display
// profile named sRGB that takes sRGB's white to the connection space's D50,
// its primaries to sRGB's chromaticities (adapted back to D65 with Little
// CMS's Bradford) and its greys along sRGB's tone curve.
void expectSrgbProfile(const std::string& bytes) {
  cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size()));
  ASSERT_NE(profile, nullptr) << bytes.size() << " bytes";
  char description[64] = "";
  cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", description, sizeof description);
  EXPECT_STREQ(description, "sRGB IEC61966-2.1");
  EXPECT_EQ(cmsGetDeviceClass(profile), cmsSigDisplayClass);
  EXPECT_EQ(cmsGetColorSpace(profile), cmsSigRgbData);
  EXPECT_EQ(cmsGetPCS(profile), cmsSigXYZData);
  EXPECT_GE(cmsGetProfileVersion(profile), 2.0);
  EXPECT_LT(cmsGetProfileVersion(profile), 3.0);

  cmsHPROFILE xyzProfile = cmsCreateXYZProfile();
  cmsHTRANSFORM toXyz = cmsCreateTransform(profile, TYPE_RGB_DBL, xyzProfile, TYPE_XYZ_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
  cmsCloseProfile(xyzProfile);
  cmsCloseProfile(profile);
  ASSERT_NE(toXyz, nullptr);
  const auto xyzOf = [&](double r, double g, double b) {
    const double rgb[3] = {r, g, b};
    cmsCIEXYZ xyz{};
    cmsDoTransform(toXyz, rgb, &xyz, 1);
    return xyz;
  };
  const cmsCIEXYZ white = xyzOf(1, 1, 1);
  EXPECT_NEAR(white.X, cmsD50_XYZ()->X, 1e-3);
  EXPECT_NEAR(white.Y, cmsD50_XYZ()->Y, 1e-3);
  EXPECT_NEAR(white.Z, cmsD50_XYZ()->Z, 1e-3);
  const cmsCIExyY d65xyY = {0.3127, 0.3290, 1.0};
  cmsCIEXYZ d65{};
  cmsxyY2XYZ(&d65, &d65xyY);
  const double primaries[3][2] = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
  for (int c = 0; c < 3; ++c) {
    const cmsCIEXYZ inD50 = xyzOf(c == 0 ? 1 : 0, c == 1 ? 1 : 0, c == 2 ? 1 : 0);
    cmsCIEXYZ inD65{};
    EXPECT_TRUE(cmsAdaptToIlluminant(&inD65, cmsD50_XYZ(), &d65, &inD50));
    cmsCIExyY xyY{};
    cmsXYZ2xyY(&xyY, &inD65);
    EXPECT_NEAR(xyY.x, primaries[c][0], 1e-4) << "primary " << c;
    EXPECT_NEAR(xyY.y, primaries[c][1], 1e-4) << "primary " << c;
  }
  double worstGrey = 0;
  for (int v = 0; v <= 255; ++v) {
    const double encoded = v / 255.0;
    worstGrey = std::max(worstGrey, std::abs(xyzOf(encoded, encoded, encoded).Y - srgbToLinear(encoded)));
  }
  EXPECT_LT(worstGrey, 1e-4);
  cmsDeleteTransform(toXyz);
}

std::string textTag(TIFF* tiff, uint32_t tag) {
  const char* text = nullptr;
  return TIFFGetField(tiff, tag, &text) == 1 && text != nullptr ? text : "";
}

ArchiveTags readArchiveTags(const std::string& path) {
  ArchiveTags tags;
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (tiff == nullptr) return tags;
  uint32_t count = 0;
  const void* data = nullptr;
  if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &count, &data) == 1) {
    tags.profile.assign(static_cast<const char*>(data), count);
  }
  if (TIFFGetField(tiff, TIFFTAG_XMLPACKET, &count, &data) == 1) tags.xmp.assign(static_cast<const char*>(data), count);
  tags.make = textTag(tiff, TIFFTAG_MAKE);
  tags.model = textTag(tiff, TIFFTAG_MODEL);
  toff_t exif = 0;
  tags.exifDirectory = TIFFGetField(tiff, TIFFTAG_EXIFIFD, &exif) == 1;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_PREDICTOR, &tags.predictor);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &tags.rowsPerStrip);
  tags.dateTimeDigitized = xmpProperty(tags.xmp, "exif:DateTimeDigitized");
  tags.fileSource = xmpProperty(tags.xmp, "exif:FileSource");
  tags.bodySerialNumber = xmpProperty(tags.xmp, "exifEX:BodySerialNumber");
  TIFFClose(tiff);
  return tags;
}

// XMP's form of a moment: "YYYY-MM-DDTHH:MM:SSZ", in UTC.
std::string xmpTime(int64_t secondsSince1970) {
  const std::time_t time = static_cast<std::time_t>(secondsSince1970);
  std::tm parts{};
  gmtime_r(&time, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

// A blank-padded text field of the Image Pac header, read straight from the
// file.
std::string headerText(const std::string& bytes, size_t offset, size_t length) {
  std::string field = bytes.substr(offset, length);
  while (!field.empty() && (field.back() == ' ' || field.back() == '\0')) field.pop_back();
  return field;
}

// The project's sample with its scan facts, converted: the TIFF carries the
// sRGB profile and the facts in their standard tags, its pixels still
// exactly the decoder's. An 8-bit grey TIFF gets the facts but no profile.
// A Deflate TIFF, laid out with differencing in strips of many rows, keeps
// all of it, and another reader finds the same pixels in it.
TEST(ArchiveTiff, ProjectSampleCarriesProfileAndScanFacts) {
  ASSERT_FALSE(test::builtConverter().empty());
  test::TempFolder dir;
  for (const char* folder : {"in", "out", "grey", "deflate"}) std::filesystem::create_directory(dir.path() + folder);
  pcd_writer::PcdWriteOptions options;
  options.topLevel = pcd::Level::FourBase;
  options.facts = pcd_writer::sampleFacts();
  const pcd::ImagePacFacts& facts = options.facts;
  ASSERT_TRUE(facts.scanTime);
  const std::string input = dir.path() + "in/IMG0007.PCD";
  std::ofstream(input, std::ios::binary) << pcd_writer::writePcd(pcd_writer::syntheticPicture(pcd::Level::FourBase), options);

  ASSERT_EQ(runWithConverter(input, dir.path() + "out").exitCode, 0);
  const std::string tiff = dir.path() + "out/IMG0007.tiff";
  const pcd::BgrImage expected = decodeFile(input, 4);
  EXPECT_EQ(differingPixels(tiff, expected), 0);
  const ArchiveTags tags = readArchiveTags(tiff);
  expectSrgbProfile(tags.profile);
  EXPECT_EQ(tags.make, facts.scannerVendor);
  EXPECT_EQ(tags.model, facts.scannerProduct);
  EXPECT_EQ(tags.dateTimeDigitized, xmpTime(*facts.scanTime));
  EXPECT_EQ(tags.bodySerialNumber, facts.scannerSerial);
  EXPECT_EQ(tags.fileSource, "1");  // a film scanner
  // FreeImage reads an EXIF directory beside an ICC profile from freed
  // memory (our own picture watermark loads TIFFs through it).
  EXPECT_FALSE(tags.exifDirectory);
  EXPECT_NE(tags.xmp.find("<aux:ImageNumber>7</aux:ImageNumber>"), std::string::npos) << tags.xmp;
  EXPECT_NE(tags.xmp.find(facts.productType), std::string::npos) << tags.xmp;
  EXPECT_NE(tags.xmp.find(pcd::mediumName(*facts.medium)), std::string::npos) << tags.xmp;

  test::RunOptions run;
  run.withConverter = true;
  ASSERT_EQ(test::runQuorbix({"-i", input, "-o", dir.path() + "grey", "-q", "--greyscale", "--tiff-bpp=8"}, run).exitCode, 0);
  const ArchiveTags grey = readArchiveTags(dir.path() + "grey/IMG0007.tiff");
  EXPECT_TRUE(grey.profile.empty());
  EXPECT_EQ(grey.dateTimeDigitized, xmpTime(*facts.scanTime));
  EXPECT_EQ(grey.make, facts.scannerVendor);

  ASSERT_EQ(test::runQuorbix({"-i", input, "-o", dir.path() + "deflate", "-q", "--tiff-compression=DEFLATE"}, run).exitCode, 0);
  const std::string deflated = dir.path() + "deflate/IMG0007.tiff";
  EXPECT_EQ(differingPixels(deflated, expected), 0);
  EXPECT_EQ(differingPixelsByNetpbm(deflated, expected), 0);
  const ArchiveTags packed = readArchiveTags(deflated);
  EXPECT_EQ(packed.predictor, PREDICTOR_HORIZONTAL);
  EXPECT_GT(packed.rowsPerStrip, 1u);
  EXPECT_EQ(packed.xmp, tags.xmp);
  EXPECT_EQ(std::tie(packed.profile, packed.make, packed.model),
            std::tie(tags.profile, tags.make, tags.model));
}

// The real scan keeps its scan date and scanner, read from its header.
TEST(ArchiveTiff, RealSixteenBaseSampleKeepsItsScanDate) {
  if (test::samplesDir().empty()) GTEST_SKIP() << "no ../shared/samples";
  ASSERT_FALSE(test::builtConverter().empty());
  test::TempFolder dir;
  std::filesystem::create_directory(dir.path() + "out");
  const std::string input = test::samplesDir() + "portrait-16base.pcd";
  std::string header(4096, '\0');
  std::ifstream(input, std::ios::binary).read(header.data(), static_cast<std::streamsize>(header.size()));
  const uint8_t* time = reinterpret_cast<const uint8_t*>(header.data()) + 2048 + 13;
  const std::string scanned = xmpTime(bigEndian32(time));
  ASSERT_EQ(scanned.substr(0, 5), "1994-");  // the sample is a 1994 scan

  ASSERT_EQ(runWithConverter(input, dir.path() + "out").exitCode, 0);
  const ArchiveTags tags = readArchiveTags(dir.path() + "out/portrait-16base.tiff");
  expectSrgbProfile(tags.profile);
  EXPECT_EQ(tags.dateTimeDigitized, scanned);
  EXPECT_EQ(tags.make, headerText(header, 2048 + 42, 20));
  EXPECT_EQ(tags.model, headerText(header, 2048 + 62, 16));
  EXPECT_FALSE(tags.make.empty());
  // A header written without any of these facts gives none.
  EXPECT_TRUE(pcd::readImagePacFacts(test::samplesDir() + "base-only-synthetic.pcd").empty());
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
