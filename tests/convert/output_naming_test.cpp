#include "convert/output_naming.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/clock.h"

namespace quorbix {
namespace {

Settings namingSettings() {
  Settings s;
  s.inputFile = "/in/2019/IMG0001.PCD";
  s.output = "/out/";
  s.relativeFolder = "2019/";
  s.conversion = "tiff";
  s.filenameMask = "%filename%.%ext%";
  s.targetBpp = 24;
  s.resizedWidth = 3072;
  s.resizedHeight = 2048;
  s.randomNumber = 42;
  s.fileCounter = 1;
  return s;
}

std::string withMask(Settings s, const std::string& mask) {
  s.filenameMask = mask;
  return expandFilenameMask(s);
}

TEST(BuildOutputPath, KeepsOrDropsTheSubFolder) {
  Settings s = namingSettings();
  EXPECT_EQ(buildOutputPath(s), "/out/2019/IMG0001.tiff");
  s.noSubfolders = true;
  EXPECT_EQ(buildOutputPath(s), "/out/IMG0001.tiff");
  s.noSubfolders = false;
  s.relativeFolder = "";
  EXPECT_EQ(buildOutputPath(s), "/out/IMG0001.tiff");
}

TEST(FilenameMask, EmptyMaskIsTheDefault) {
  EXPECT_EQ(withMask(namingSettings(), ""), "IMG0001.tiff");
}

TEST(FilenameMask, FixedTextIsLowerCasedValuesKeepTheirCase) {
  Settings s = namingSettings();
  EXPECT_EQ(withMask(s, "Scan_%FILENAME[U]%.%Ext%"), "scan_IMG0001.tiff");
  EXPECT_EQ(withMask(s, "%filename[t]%.%ext[t]%"), "Img0001.Tiff");
  EXPECT_EQ(withMask(s, "%filename[l]%.%EXT[U]%"), "img0001.TIFF");
  s.inputFile = "/in/img0001.pcd";
  EXPECT_EQ(withMask(s, "%filename[t]%"), "Img0001");
  EXPECT_EQ(withMask(s, "%filename[u]%"), "IMG0001");
}

TEST(FilenameMask, NumbersAndSizes) {
  Settings s = namingSettings();
  EXPECT_EQ(withMask(s, "%filename%_%n%"), "IMG0001_00001");
  EXPECT_EQ(withMask(s, "%rnd%-%bpp%-%width%x%height%"), "00042-24-3072x2048");
  s.fileCounter = 123456;
  s.randomNumber = 99999;
  EXPECT_EQ(withMask(s, "%n%/%rnd%"), "12345/99999");
  s.fileCounter = 12345;
  EXPECT_EQ(withMask(s, "%N%"), "12345");
}

TEST(FilenameMask, EveryOccurrenceIsReplaced) {
  EXPECT_EQ(withMask(namingSettings(), "%ext%-%EXT%-%Ext%"), "tiff-tiff-tiff");
}

TEST(FilenameMask, ValuesHoldingALaterPlaceholderAreExpandedAgain) {
  Settings s = namingSettings();
  s.inputFile = "/in/%ext%.pcd";
  EXPECT_EQ(withMask(s, "%filename%"), "tiff");
  // An earlier placeholder inside a value stays as it is.
  s.inputFile = "/in/%n%%filename%.pcd";
  EXPECT_EQ(withMask(s, "%ext%"), "tiff");
  EXPECT_EQ(withMask(s, "%filename%"), "00001%filename%");
}

TEST(FilenameMask, UnicodeNamesChangeCase) {
  Settings s = namingSettings();
  s.inputFile = "/in/\xC3\xA9t\xC3\xA9 \xC3\x84rger.pcd";  // "été Ärger"
  EXPECT_EQ(withMask(s, "%filename[u]%"), "\xC3\x89T\xC3\x89 \xC3\x84RGER");
  EXPECT_EQ(withMask(s, "%filename[l]%"), "\xC3\xA9t\xC3\xA9 \xC3\xA4rger");
  EXPECT_EQ(withMask(s, "%filename[t]%"), "\xC3\x89t\xC3\xA9 \xC3\xA4rger");
  // Fixed text of the mask is lower-cased the same way.
  EXPECT_EQ(withMask(s, "\xC3\x84_%n%"), "\xC3\xA4_00001");
}

TEST(FilenameMask, NamesThatAreNotUtf8KeepTheirBytes) {
  Settings s = namingSettings();
  s.inputFile = "/in/Ab\xFF\xFEx.pcd";
  EXPECT_EQ(withMask(s, "%filename[u]%"), "AB\xFF\xFEX");
  EXPECT_EQ(withMask(s, "%filename[t]%"), "Ab\xFF\xFEx");
}

TEST(FilenameMask, NameWithoutExtensionRules) {
  Settings s = namingSettings();
  s.inputFile = "/in/a.b.pcd";
  EXPECT_EQ(withMask(s, "%filename%"), "a.b");
  s.inputFile = "/in/noext";
  EXPECT_EQ(withMask(s, "%filename%"), "noext");
}

std::string two(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

TEST(FilenameMask, DateAndTimeComeFromTheLocalClock) {
  Settings s = namingSettings();
  s.filenameMask = "%yyyy%-%mm%-%dd%_%hh%.%ii%.%ss%_%filename%.%ext%";
  // Retry across a second boundary so the clock readings agree.
  for (int attempt = 0; attempt < 5; ++attempt) {
    platform::LocalDateTime before = platform::localNow();
    std::string name = expandFilenameMask(s);
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
  Settings s = namingSettings();
  s.wmText = "50% OFF %ext";
  EXPECT_EQ(expandWatermarkText(s), "50% OFF %ext");
}

TEST(WatermarkText, FixedTextKeepsItsCase) {
  Settings s = namingSettings();
  s.wmText = "Size %WIDTH%x%Height% of %Filename% (%EXT[U]%)";
  EXPECT_EQ(expandWatermarkText(s), "Size 3072x2048 of IMG0001 (TIFF)");
}

TEST(WatermarkText, OnlyPlaceholdersOfTheTextItselfAreExpanded) {
  Settings s = namingSettings();
  s.inputFile = "/in/%ext%.pcd";
  s.wmText = "%filename%";
  EXPECT_EQ(expandWatermarkText(s), "%ext%");
  s.wmText = "%filename% %ext%";
  EXPECT_EQ(expandWatermarkText(s), "tiff tiff");
  s.wmText = "100%% %n% %%";
  EXPECT_EQ(expandWatermarkText(s), "100%% 00001 %%");
}

}  // namespace
}  // namespace quorbix
