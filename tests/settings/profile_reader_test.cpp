#include "settings/profile_reader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "settings/settings_defaults.h"
#include "support/test_paths.h"
#include "support/utf16_bytes.h"

namespace quorbix {
namespace {

using namespace std::string_literals;

Settings defaults() {
  Settings s;
  resetJobFields(s);
  setDefaults(s);
  return s;
}

Settings applied(std::string_view bytes) {
  Settings s = defaults();
  for (const ProfileEntry& entry : parseProfile(bytes)) applyProfileEntry(entry, s);
  return s;
}

TEST(ParseProfile, OnlyTheFirstCliSectionWithKeysAndValues) {
  auto entries = parseProfile(
      "--JPG-QUALITY=1\r\n"
      "[Other]\n--JPG-QUALITY=2\n"
      "  [cli] trailing text\r"
      "; comment\n"
      "\t --RESIZE-ALGORITHM \t=  LANCZOS \t\r\n"
      "\n\n"
      "--KEEP-ASPECT-RATIO\n"
      "--WM-TEXT==a=b\n"
      "[CLI\n"
      "--WIDTH=5\n"
      "[CLI]\n--HEIGHT=5\n");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].key, "--RESIZE-ALGORITHM");
  EXPECT_EQ(entries[0].value, "LANCZOS");
  EXPECT_EQ(entries[1].key, "--KEEP-ASPECT-RATIO");
  EXPECT_EQ(entries[1].value, "");
  EXPECT_EQ(entries[2].key, "--WM-TEXT");
  EXPECT_EQ(entries[2].value, "=a=b");
}

TEST(ParseProfile, HeaderWithoutClosingBracketAndNoSection) {
  EXPECT_EQ(parseProfile("[cli\n--A=1").size(), 1u);
  EXPECT_TRUE(parseProfile("--JPG-QUALITY=80\n").empty());
  EXPECT_TRUE(parseProfile("").empty());
  EXPECT_TRUE(parseProfile("[ CLI ]\n--A=1\n").empty());
}

TEST(ParseProfile, EncodingsGiveUtf8Texts) {
  // "©" is A9 in ISO 8859-1 and C2 A9 in UTF-8.
  auto latin = parseProfile("[CLI]\n--WM-TEXT=\xA9 2024\n");
  auto utf8 = parseProfile("\xEF\xBB\xBF[CLI]\n--WM-TEXT=\xC2\xA9 2024\n");
  ASSERT_EQ(latin.size(), 1u);
  ASSERT_EQ(utf8.size(), 1u);
  EXPECT_EQ(latin[0].value, "\xC2\xA9 2024");
  EXPECT_EQ(utf8[0].value, "\xC2\xA9 2024");
  // Without the byte-order mark, UTF-8 bytes are read as two Latin-1 characters.
  auto noMark = parseProfile("[CLI]\n--WM-TEXT=\xC2\xA9\n");
  EXPECT_EQ(noMark[0].value, "\xC3\x82\xC2\xA9");
  // Broken UTF-8 after a byte-order mark becomes U+FFFD, never invalid text.
  auto broken = parseProfile("\xEF\xBB\xBF[CLI]\n--WM-TEXT=a\xC3\x28\xED\xA0\x80\xF5z\n");
  EXPECT_EQ(broken[0].value, "a\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBDz");
}

TEST(ParseProfile, Utf16InBothByteOrders) {
  const std::u16string_view text =
      u"[CLI]\r\n--WM-TEXT=\u00a9 M\u00fcller \U0001F600\r\n--JPG-QUALITY = 80\r\n[Other]\r\n--WIDTH=1\r\n";
  for (bool bigEndian : {false, true}) {
    auto entries = parseProfile(test::utf16Bytes(text, bigEndian));
    ASSERT_EQ(entries.size(), 2u) << bigEndian;
    EXPECT_EQ(entries[0].value, "\xC2\xA9 M\xC3\xBCller \xF0\x9F\x98\x80");
    EXPECT_EQ(entries[1].key, "--JPG-QUALITY");
    Settings s = applied(test::utf16Bytes(text, bigEndian));
    EXPECT_EQ(s.save.jpgQuality, 80);
  }
  // Unpaired surrogates become U+FFFD and an odd last byte is dropped: the
  // text stays valid UTF-8.
  auto broken = parseProfile(test::utf16Bytes(u"[CLI]\n--WM-TEXT=a\xDC00" u"b\xD800", false) + "c");
  ASSERT_EQ(broken.size(), 1u);
  EXPECT_EQ(broken[0].value, "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
  // FF FE 00 00 is no UTF-16 mark: such a file is ISO 8859-1 as before.
  EXPECT_EQ(parseProfile("\xFF\xFE\x00\x00\n[CLI]\n--WIDTH=5\n"s).size(), 1u);
}

TEST(ApplyProfile, KeysConversionsAndFlags) {
  Settings s = applied(
      "[cli]\n"
      "--jpg-quality=80\n"
      "JPG-QUALITY=10\n"
      "--RESIZE-ALGORITHM = lanczos\n"
      "--WIDTH=1024\n"
      "--KEEP-ASPECT-RATIO\n"
      "--INVERT=0\n"
      "--GAMMA=\n"
      "--WM-SOLID-OPACITY=100\n"
      "--FR-SOLID-OPACITY=7\n"
      "--FR-SOLID-LEFT=4\n"
      "--WM-TEXT=\"quoted\"\n"
      "--WM-FONT=\"Liberation Sans\"\n"
      "--FILENAME-MASK=\"\"%filename%_x.%ext%\"\n"
      "--INPUT=nothing.pcd\n--OUTPUT=o\n--CONVERSION=jpg\n--DEBUG\n--QUIET\n--PAUSE\n"
      "--PROFILE=other.ini\n"
      "--TIFF-COMPRESSION=  lzw  \n"
      "--FILE-TIMESTAMP-CUSTOM=$10\n");
  EXPECT_EQ(s.save.jpgQuality, 80);
  EXPECT_EQ(s.resize.resizeAlgorithm, ALGO_LANCZOS);
  EXPECT_TRUE(s.resize.resizeOn);
  EXPECT_EQ(s.resize.width, 1024);
  EXPECT_TRUE(s.resize.keepAspectRatio);
  EXPECT_TRUE(s.adjust.invert);
  EXPECT_TRUE(s.adjust.adjustOn);
  EXPECT_FLOAT_EQ(s.adjust.gamma, 0.0f);
  EXPECT_EQ(s.frame.frSolidOpacity, 100);
  EXPECT_EQ(s.frame.frame, FRAME_SOLID);
  EXPECT_EQ(s.frame.frSolidLeft, 4);
  EXPECT_EQ(s.watermark.watermark, WATERMARK_TEXT);
  EXPECT_EQ(s.watermark.text.wmText, "\"quoted\"");
  EXPECT_EQ(s.watermark.text.wmFont, "\"Liberation Sans\"");
  EXPECT_EQ(s.naming.filenameMask, "%filename%_x.%ext%");
  EXPECT_TRUE(s.job.input.empty() && s.job.output.empty() && s.job.conversion.empty());
  EXPECT_FALSE(s.job.inputGiven || s.job.debug || s.job.quiet || s.job.pause);
  EXPECT_EQ(s.save.tiffCompression, TIFFC_LZW);
  EXPECT_EQ(s.naming.fileTimestampCustom, 16);
}

TEST(ApplyProfile, EmptyValues) {
  Settings s = applied("[CLI]\n--WM-TEXT=\n--WIDTH\n--WM-FONT-STYLE=\n--ROTATION-BACK-COLOR=\n");
  EXPECT_EQ(s.watermark.watermark, WATERMARK_TEXT);
  EXPECT_EQ(s.watermark.text.wmText, "");
  EXPECT_TRUE(s.resize.resizeOn);
  EXPECT_EQ(s.resize.width, 0);
  EXPECT_EQ(s.watermark.text.wmFontStyle, STYLE_REGULAR);
  EXPECT_EQ(s.rotate.rotationBackColor, "");
}

TEST(ReadProfile, FilesThatCannotBeReadAreRefused) {
  test::TempFolder folder;
  Settings s = defaults();
  EXPECT_FALSE(readProfile("", s));
  EXPECT_FALSE(readProfile(folder.path() + "missing.ini", s));
  EXPECT_FALSE(readProfile(folder.path(), s));
  EXPECT_FALSE(readProfile("/dev/zero", s));
  const std::string fifo = folder.path() + "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(readProfile(fifo, s));  // must not block waiting for a writer
  const std::string huge = folder.path() + "huge.ini";
  ASSERT_EQ(::truncate((platform::writeWholeFile(huge, "[CLI]\n"), huge.c_str()),
                       static_cast<off_t>(kMaxProfileBytes + 1)), 0);
  EXPECT_FALSE(readProfile(huge, s));
  if (::geteuid() != 0) {
    const std::string locked = folder.path() + "locked.ini";
    ASSERT_TRUE(platform::writeWholeFile(locked, "[CLI]\n"));
    ::chmod(locked.c_str(), 0);
    EXPECT_FALSE(readProfile(locked, s));
  }
}

TEST(ReadProfile, ReadableFilesAreAcceptedWhateverTheyHold) {
  test::TempFolder folder;
  Settings s = defaults();
  const std::string empty = folder.path() + "empty.ini";
  ASSERT_TRUE(platform::writeWholeFile(empty, ""));
  EXPECT_TRUE(readProfile(empty, s));

  std::string junk;
  for (int i = 0; i < 1 << 16; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
  const std::string binary = folder.path() + "junk.bin";
  ASSERT_TRUE(platform::writeWholeFile(binary, "[CLI]\n" + junk));
  EXPECT_TRUE(readProfile(binary, s));

  // One very long line, a value of several megabytes.
  const std::string longLine = folder.path() + "long.ini";
  ASSERT_TRUE(platform::writeWholeFile(longLine, "[CLI]\n--WM-TEXT=" + std::string(8 << 20, 'x') + "\n--WIDTH=7"));
  Settings t = defaults();
  EXPECT_TRUE(readProfile(longLine, t));
  EXPECT_EQ(t.watermark.text.wmText.size(), size_t{8} << 20);
  EXPECT_EQ(t.resize.width, 7);
}

TEST(SettingsDefaults, EveryDefaultAndTheCustomTimestamp) {
  Settings s;
  s.job.input = "x";
  s.job.inputGiven = s.job.debug = s.job.quiet = s.job.pause = true;
  s.save.jpgQuality = 3;
  s.adjust.gamma = 9;
  s.watermark.picture.wmImage = "w";
  s.naming.noSubfolders = true;
  s.load.pcdTone = PCD_TONE_FULLRANGE;
  resetJobFields(s);
  s.job.output = "/kept/";  // not a conversion setting: setDefaults leaves it
  setDefaults(s);
  EXPECT_TRUE(s.job.input.empty());
  EXPECT_FALSE(s.job.inputGiven || s.job.debug || s.job.quiet || s.job.pause);
  EXPECT_EQ(s.save.jpgQuality, 95);
  EXPECT_FLOAT_EQ(s.adjust.gamma, 1.0f);
  EXPECT_TRUE(s.watermark.picture.wmImage.empty());
  EXPECT_FALSE(s.naming.noSubfolders);
  EXPECT_EQ(s.job.output, "/kept/");
  EXPECT_EQ(s.load.rawToneMapping, TONE_AL);
  EXPECT_EQ(s.load.pcdTone, PCD_TONE_DISPLAY);
  EXPECT_EQ(s.resize.resizeAlgorithm, ALGO_BICUBIC);
  EXPECT_EQ(s.watermark.text.wmTextPosition, POS_BOTTOMRIGHT);
  EXPECT_EQ(s.watermark.text.wmBackOpacity, 1);
  EXPECT_EQ(s.naming.filenameMask, "%filename%.%ext%");
  EXPECT_FALSE(s.watermark.text.wmText.empty());
  // FILE-TIMESTAMP-CUSTOM is "now" as a local date value: it differs from
  // Unix time by the zone offset, at most a day.
  const int64_t now = ::time(nullptr);
  EXPECT_LT(std::abs(static_cast<int64_t>(s.naming.fileTimestampCustom) - now), 86400 + 60);
}

}  // namespace
}  // namespace quorbix
