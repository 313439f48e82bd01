#include "convert/output_naming.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/clock.h"

namespace quorbix {
namespace {

// The settings with the state of the file being named.
struct NamingSettings : Settings {
  FileState file;
};

NamingSettings namingSettings() {
  NamingSettings s;
  s.file.inputFile = "/in/2019/IMG0001.PCD";
  s.job.output = "/out/";
  s.file.relativeFolder = "2019/";
  s.job.conversion = "tiff";
  s.naming.filenameMask = "%filename%.%ext%";
  s.file.targetBpp = 24;
  s.file.resizedWidth = 3072;
  s.file.resizedHeight = 2048;
  s.file.randomNumber = 42;
  s.file.fileCounter = 1;
  return s;
}

std::string withMask(NamingSettings s, const std::string& mask) {
  s.naming.filenameMask = mask;
  return expandFilenameMask(s, s.file);
}

TEST(BuildOutputPath, KeepsOrDropsTheSubFolder) {
  NamingSettings s = namingSettings();
  EXPECT_EQ(buildOutputPath(s, s.file), "/out/2019/IMG0001.tiff");
  s.naming.noSubfolders = true;
  EXPECT_EQ(buildOutputPath(s, s.file), "/out/IMG0001.tiff");
  s.naming.noSubfolders = false;
  s.file.relativeFolder = "";
  EXPECT_EQ(buildOutputPath(s, s.file), "/out/IMG0001.tiff");
}

TEST(FilenameMask, EmptyMaskIsTheDefault) {
  EXPECT_EQ(withMask(namingSettings(), ""), "IMG0001.tiff");
}

TEST(FilenameMask, FixedTextIsLowerCasedValuesKeepTheirCase) {
  NamingSettings s = namingSettings();
  EXPECT_EQ(withMask(s, "Scan_%FILENAME[U]%.%Ext%"), "scan_IMG0001.tiff");
  EXPECT_EQ(withMask(s, "%filename[t]%.%ext[t]%"), "Img0001.Tiff");
  EXPECT_EQ(withMask(s, "%filename[l]%.%EXT[U]%"), "img0001.TIFF");
  s.file.inputFile = "/in/img0001.pcd";
  EXPECT_EQ(withMask(s, "%filename[t]%"), "Img0001");
  EXPECT_EQ(withMask(s, "%filename[u]%"), "IMG0001");
}

TEST(FilenameMask, NumbersAndSizes) {
  NamingSettings s = namingSettings();
  EXPECT_EQ(withMask(s, "%filename%_%n%"), "IMG0001_00001");
  EXPECT_EQ(withMask(s, "%rnd%-%bpp%-%width%x%height%"), "00042-24-3072x2048");
  s.file.fileCounter = 123456;
  s.file.randomNumber = 99999;
  EXPECT_EQ(withMask(s, "%n%/%rnd%"), "12345/99999");
  s.file.fileCounter = 12345;
  EXPECT_EQ(withMask(s, "%N%"), "12345");
}

TEST(FilenameMask, EveryOccurrenceIsReplaced) {
  EXPECT_EQ(withMask(namingSettings(), "%ext%-%EXT%-%Ext%"), "tiff-tiff-tiff");
}

TEST(FilenameMask, ValuesHoldingALaterPlaceholderAreExpandedAgain) {
  NamingSettings s = namingSettings();
  s.file.inputFile = "/in/%ext%.pcd";
  EXPECT_EQ(withMask(s, "%filename%"), "tiff");
  // An earlier placeholder inside a value stays as it is.
  s.file.inputFile = "/in/%n%%filename%.pcd";
  EXPECT_EQ(withMask(s, "%ext%"), "tiff");
  EXPECT_EQ(withMask(s, "%filename%"), "00001%filename%");
}

TEST(FilenameMask, UnicodeNamesChangeCase) {
  NamingSettings s = namingSettings();
  s.file.inputFile = "/in/\xC3\xA9t\xC3\xA9 \xC3\x84rger.pcd";  // "été Ärger"
  EXPECT_EQ(withMask(s, "%filename[u]%"), "\xC3\x89T\xC3\x89 \xC3\x84RGER");
  EXPECT_EQ(withMask(s, "%filename[l]%"), "\xC3\xA9t\xC3\xA9 \xC3\xA4rger");
  EXPECT_EQ(withMask(s, "%filename[t]%"), "\xC3\x89t\xC3\xA9 \xC3\xA4rger");
  // Fixed text of the mask is lower-cased the same way.
  EXPECT_EQ(withMask(s, "\xC3\x84_%n%"), "\xC3\xA4_00001");
}

TEST(FilenameMask, NamesThatAreNotUtf8KeepTheirBytes) {
  NamingSettings s = namingSettings();
  s.file.inputFile = "/in/Ab\xFF\xFEx.pcd";
  EXPECT_EQ(withMask(s, "%filename[u]%"), "AB\xFF\xFEX");
  EXPECT_EQ(withMask(s, "%filename[t]%"), "Ab\xFF\xFEx");
}

TEST(FilenameMask, NameWithoutExtensionRules) {
  NamingSettings s = namingSettings();
  s.file.inputFile = "/in/a.b.pcd";
  EXPECT_EQ(withMask(s, "%filename%"), "a.b");
  s.file.inputFile = "/in/noext";
  EXPECT_EQ(withMask(s, "%filename%"), "noext");
}

std::string two(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

TEST(FilenameMask, DateAndTimeComeFromTheLocalClock) {
  NamingSettings s = namingSettings();
  s.naming.filenameMask = "%yyyy%-%mm%-%dd%_%hh%.%ii%.%ss%_%filename%.%ext%";
  // Retry across a second boundary so the clock readings agree.
  for (int attempt = 0; attempt < 5; ++attempt) {
    platform::LocalDateTime before = platform::localNow();
    std::string name = expandFilenameMask(s, s.file);
    platform::LocalDateTime after = platform::localNow();
    if (before.second != after.second) continue;
    EXPECT_EQ(name, std::to_string(before.year) + "-" + two(before.month) + "-" + two(before.day) +
                        "_" + two(before.hour) + "." + two(before.minute) + "." +
                        two(before.second) + "_IMG0001.tiff");
    return;
  }
  FAIL() << "clock kept changing";
}

TEST(WatermarkText, SinglePercentSignLeavesTheTextAlone) {
  NamingSettings s = namingSettings();
  s.watermark.text.wmText = "50% OFF %ext";
  EXPECT_EQ(expandWatermarkText(s, s.file), "50% OFF %ext");
}

TEST(WatermarkText, FixedTextKeepsItsCase) {
  NamingSettings s = namingSettings();
  s.watermark.text.wmText = "Size %WIDTH%x%Height% of %Filename% (%EXT[U]%)";
  EXPECT_EQ(expandWatermarkText(s, s.file), "Size 3072x2048 of IMG0001 (TIFF)");
}

TEST(WatermarkText, OnlyPlaceholdersOfTheTextItselfAreExpanded) {
  NamingSettings s = namingSettings();
  s.file.inputFile = "/in/%ext%.pcd";
  s.watermark.text.wmText = "%filename%";
  EXPECT_EQ(expandWatermarkText(s, s.file), "%ext%");
  s.watermark.text.wmText = "%filename% %ext%";
  EXPECT_EQ(expandWatermarkText(s, s.file), "tiff tiff");
  s.watermark.text.wmText = "100%% %n% %%";
  EXPECT_EQ(expandWatermarkText(s, s.file), "100%% 00001 %%");
}

}  // namespace
}  // namespace quorbix
