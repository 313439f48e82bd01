#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cmath>

#include "settings/option_table.h"
#include "settings/settings_defaults.h"
#include "support/test_paths.h"
#include "platform/file_system.h"

namespace quorbix {
namespace {

Settings defaults() {
  Settings s;
  resetJobFields(s);
  setDefaults(s);
  return s;
}

struct Read {
  std::string error;
  Settings settings;
};

Read read(const Parameters& parameters) {
  Read r{"", defaults()};
  r.error = readOptions(parameters, r.settings);
  return r;
}

TEST(ParameterName, LongShortAndPlainWords) {
  Parameters p{"--Input=abc=d", "-i", "  --jpg-quality=95  ", "word", "-", "--", "\t-d", "-x=1", ""};
  EXPECT_EQ(parameterName(p, 0), "--INPUT");
  EXPECT_EQ(parameterName(p, 1), "-I");
  EXPECT_EQ(parameterName(p, 2), "--JPG-QUALITY");
  EXPECT_EQ(parameterName(p, 3), "");
  EXPECT_EQ(parameterName(p, 4), "-");
  EXPECT_EQ(parameterName(p, 5), "--");
  EXPECT_EQ(parameterName(p, 6), "");  // tabs are not trimmed
  EXPECT_EQ(parameterName(p, 7), "-X=1");
  EXPECT_EQ(parameterName(p, 8), "");
  EXPECT_EQ(parameterName(p, 99), "");
}

TEST(ParameterValue, TextAfterTheFirstEqualsOfLongOptions) {
  Parameters p{"--Input=abc=d", "-i=x", "  spaced value  ", "--width=", "--flag"};
  EXPECT_EQ(parameterValue(p, 0), "abc=d");
  EXPECT_EQ(parameterValue(p, 1), "-i=x");
  EXPECT_EQ(parameterValue(p, 2), "spaced value");
  EXPECT_EQ(parameterValue(p, 3), "");
  EXPECT_EQ(parameterValue(p, 4), "--flag");
  EXPECT_EQ(parameterValue(p, 5), "");
}

TEST(VersionText, DropsATrailingZeroPart) {
  EXPECT_EQ(versionText(280), "2.8");
  EXPECT_EQ(versionText(281), "2.8.1");
  EXPECT_EQ(versionText(300), "3.0");
  EXPECT_EQ(versionText(1234), "1.2.34");
}

TEST(OptionLoop, ShortAndLongValues) {
  Read r = read({"-i", "in.pcd", "--output=out dir", "-c", "JPG"});
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.settings.job.input, "in.pcd");
  EXPECT_TRUE(r.settings.job.inputGiven);
  EXPECT_EQ(r.settings.job.output, "out dir");
  EXPECT_EQ(r.settings.job.conversion, "JPG");
}

TEST(OptionLoop, MissingOrDashedValuesAreErrors) {
  EXPECT_EQ(read({"-i"}).error, kIncorrectParameters);
  EXPECT_EQ(read({"--input", "a.pcd"}).error, kIncorrectParameters);
  EXPECT_EQ(read({"-o", "-i", "x"}).error, kIncorrectParameters);
  EXPECT_EQ(read({"--width"}).error, kIncorrectParameters);
  EXPECT_EQ(read({"--width="}).error, kIncorrectParameters);
  EXPECT_EQ(read({"--width=--5"}).error, kIncorrectParameters);
  EXPECT_EQ(read({"--wm-text="}).error, kIncorrectParameters);
  // Parsing stops at the error: later options are not read.
  Read stopped = read({"--jpg-quality=10", "-c", "-x", "--width=5", "--jpg-quality=20"});
  EXPECT_EQ(stopped.error, kIncorrectParameters);
  EXPECT_EQ(stopped.settings.save.jpgQuality, 10);
  EXPECT_FALSE(stopped.settings.resize.resizeOn);
}

TEST(OptionLoop, ValueOfShortOptionMayBeALongOptionsValue) {
  Read r = read({"-i", "--jpg-quality=95"});
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.settings.job.input, "95");
  EXPECT_EQ(r.settings.save.jpgQuality, 95);
}

TEST(OptionLoop, NegativeNumbersAndSwitchesWithValues) {
  Read r = read({"--brightness=-20", "--invert=no", "--rotation=-90", "--no-subfolders=0"});
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.settings.adjust.brightness, -20);
  EXPECT_TRUE(r.settings.adjust.invert);
  EXPECT_TRUE(r.settings.adjust.adjustOn);
  EXPECT_TRUE(r.settings.rotate.rotationOn);
  EXPECT_EQ(r.settings.rotate.rotation, -90);
  EXPECT_TRUE(r.settings.naming.noSubfolders);
}

TEST(OptionLoop, QuoteJoiningAndRemoval) {
  Read r = read({"-i", "\"my", "scans", "folder\"", "--wm-text=\"Hello", "world\"", "-o", "\"a\"b\""});
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.settings.job.input, "my scans folder");
  EXPECT_EQ(r.settings.watermark.text.wmText, "Hello world");
  EXPECT_EQ(r.settings.job.output, "a\"b");
  // An unclosed quote takes everything to the end, each parameter by its
  // value text.
  Read open = read({"--wm-font=\"Liberation", "Sans", "--width=5"});
  EXPECT_EQ(open.settings.watermark.text.wmFont, "Liberation Sans 5");
  EXPECT_FALSE(open.settings.resize.resizeOn);
  // -c does not join.
  Read conversion = read({"-c", "\"ti", "ff\""});
  EXPECT_EQ(conversion.settings.job.conversion, "ti");
  // Long numeric values do not join either; the quote stops the number.
  Read number = read({"--width=\"5", "6\""});
  EXPECT_EQ(number.settings.resize.width, 0);
  // A lone quote is opened and closed by itself.
  Read lone = read({"--wm-text=\"", "next"});
  EXPECT_EQ(lone.settings.watermark.text.wmText, "");
}

TEST(OptionLoop, OperationFlagsAndKeywords) {
  Read r = read({"--resize-algorithm=lanczos", "--raw-load-as=48", "--wm-font-effect=STRIKETHROUGH",
                 "--png-compression=ZLIB9", "--jpg-quality=80%", "--gamma=2,2", "--width=50",
                 "--width-unit=percent", "--fr-solid-opacity=128", "--wm-text=x", "--wm-image=logo.png",
                 "--tiff-compression=ZIP", "--file-timestamp=original", "--pcd-tone=fullRange"});
  EXPECT_EQ(r.error, "");
  const Settings& s = r.settings;
  EXPECT_EQ(s.resize.resizeAlgorithm, ALGO_LANCZOS);
  EXPECT_EQ(s.load.rawLoadAs, RAW_LOAD_48);
  EXPECT_EQ(s.watermark.text.wmFontEffect, EFFECT_NONE);
  EXPECT_EQ(s.save.pngCompression, PNGC_ZLIB9);
  EXPECT_EQ(s.save.jpgQuality, 80);
  EXPECT_FLOAT_EQ(s.adjust.gamma, 2.0f);
  EXPECT_TRUE(s.adjust.adjustOn);
  EXPECT_EQ(s.resize.width, 50);
  EXPECT_EQ(s.resize.widthUnit, UNIT_PERCENT);
  EXPECT_TRUE(s.resize.resizeOn);
  EXPECT_EQ(s.frame.frSolidOpacity, 128);
  EXPECT_EQ(s.frame.frame, FRAME_NONE);
  EXPECT_EQ(s.watermark.watermark, WATERMARK_IMAGE);
  EXPECT_EQ(s.watermark.text.wmText, "x");
  EXPECT_EQ(s.watermark.picture.wmImage, "logo.png");
  EXPECT_EQ(s.save.tiffCompression, 1);
  EXPECT_EQ(s.naming.fileTimestamp, TIMESTAMP_ORIGINAL);
  EXPECT_EQ(s.load.pcdTone, PCD_TONE_FULLRANGE);
  EXPECT_TRUE(std::isnan(read({"--gamma=nan"}).settings.adjust.gamma));
  EXPECT_EQ(read({"--fr-solid-top=3"}).settings.frame.frame, FRAME_SOLID);
  EXPECT_EQ(read({"--fr-solid-left-color=FF0000"}).settings.frame.frame, FRAME_NONE);
  EXPECT_TRUE(read({"--width=0"}).settings.resize.resizeOn);
}

TEST(OptionLoop, CaseOfNamesUnknownWordsAndLaterWins) {
  Read r = read({"--JPG-Quality=50", "stray", "--unknown=1", "-v", "-h", "--jpg-quality=60",
                 "-D", "-Q", "-P"});
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.settings.save.jpgQuality, 60);
  EXPECT_TRUE(r.settings.job.debug && r.settings.job.quiet && r.settings.job.pause);
  EXPECT_FALSE(r.settings.job.inputGiven);
}

TEST(OptionLoop, ProfilesApplyAtTheirPosition) {
  test::TempFolder folder;
  const std::string a = folder.path() + "a.ini", b = folder.path() + "b profile.ini";
  ASSERT_TRUE(platform::writeWholeFile(a, "[CLI]\n--JPG-QUALITY=80\n--WIDTH=100\n"));
  ASSERT_TRUE(platform::writeWholeFile(b, "[cli]\n--width=200\n"));
  EXPECT_EQ(read({"--jpg-quality=50", "--profile=" + a}).settings.save.jpgQuality, 80);
  EXPECT_EQ(read({"--profile=" + a, "--jpg-quality=50"}).settings.save.jpgQuality, 50);
  Read both = read({"--profile=" + a, "--profile=\"" + folder.path() + "b", "profile.ini\""});
  EXPECT_EQ(both.error, "");
  EXPECT_EQ(both.settings.resize.width, 200);
  EXPECT_EQ(both.settings.save.jpgQuality, 80);

  Read missing = read({"--profile=" + folder.path() + "missing.ini", "-i", "x"});
  EXPECT_EQ(missing.error, kInvalidProfile);
  EXPECT_FALSE(missing.settings.job.inputGiven);
  EXPECT_EQ(read({"--profile=\"\""}).error, kInvalidProfile);
  EXPECT_EQ(read({"--profile=" + folder.path()}).error, kInvalidProfile);
}

TEST(OptionTable, EveryRowIsFoundByItsNames) {
  size_t rows = 0;
  for (const OptionRow& row : optionTable()) {
    ++rows;
    EXPECT_EQ(findOption(row.longName), &row);
    if (!row.shortName.empty()) {
      EXPECT_EQ(findOption(row.shortName), &row);
    }
  }
  EXPECT_EQ(rows, 114u);  // with --jobs, --report, --exit-codes, --skip-existing, --pcd-tone
  EXPECT_EQ(findOption("--input"), nullptr);  // names are matched upper-cased
  EXPECT_EQ(findOption("-V"), nullptr);
  EXPECT_EQ(findOption(""), nullptr);
}

}  // namespace
}  // namespace quorbix
