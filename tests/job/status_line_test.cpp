// The status line's text and pace: counts, rate and times, shortening to the
// width, and at most one redraw per interval.
#include "job/status_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorbix {
namespace {

size_t columnsOf(const std::string& text) {
  size_t columns = 0;
  for (char c : text) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return columns;
}

ConversionStatus twelveOfThirty(std::string current) {
  ConversionStatus status;
  status.total = 30;
  status.converted = 11;
  status.failed = 1;
  status.current = std::move(current);
  return status;
}

TEST(StatusLineText, CountsRateAndTimes) {
  // 12 files in 3 s: 4 per second, 18 left take 4.5 s, shown rounded up.
  EXPECT_EQ(formatConversionStatus(twelveOfThirty("/in/p12.pcd"), 3000, 200),
            "12/30 done, 11 converted, 1 failed, 4.0 files/s, 0:03 elapsed, 0:05 left: /in/p12.pcd");
  ConversionStatus start;
  start.total = 30;
  EXPECT_EQ(formatConversionStatus(start, 40, 200),
            "0/30 done, 0 converted, 0 failed, - files/s, 0:00 elapsed, - left");
  EXPECT_EQ(formatDuration(59), "0:59");
  EXPECT_EQ(formatDuration(3725), "1:02:05");
  EXPECT_EQ(formatImportStatus(1, 200), "1 file found");
  EXPECT_EQ(formatImportStatus(4321, 200), "4321 files found");
}

TEST(StatusLineText, FileShortenedFromItsStartToTheWidth) {
  const std::string path = "/a/long/folder/name/that/goes/on/and/on/p12.pcd";
  const std::string line = formatConversionStatus(twelveOfThirty(path), 3000, 100);
  EXPECT_EQ(columnsOf(line), 99u);
  EXPECT_NE(line.find(": ..."), std::string::npos) << line;
  EXPECT_EQ(line.substr(line.size() - 8), "/p12.pcd");
  // At 80 columns the elapsed time makes room for the file, at 60 the rate too.
  EXPECT_EQ(formatConversionStatus(twelveOfThirty(path), 3000, 80),
            "12/30 done, 11 converted, 1 failed, 4.0 files/s, 0:05 left: ...n/and/on/p12.pcd");
  EXPECT_EQ(formatConversionStatus(twelveOfThirty(path), 3000, 60),
            "12/30 done, 11 converted, 1 failed, 0:05 left: ...n/p12.pcd");
  // Too narrow for any of the file: the counts alone, cut.
  EXPECT_EQ(formatConversionStatus(twelveOfThirty(path), 3000, 22), "12/30 done, 11 conver");
  // Unknown width: 80.
  EXPECT_EQ(columnsOf(formatConversionStatus(twelveOfThirty(path), 3000, 0)), 79u);
}

TEST(StatusLineText, WholeCharactersAndNoControlCharacters) {
  std::string accented = "/in/";
  for (int k = 0; k < 60; ++k) accented += "\xC3\xA9";  // é
  const std::string line = formatConversionStatus(twelveOfThirty(accented + "\n\x1b.pcd"), 3000, 100);
  EXPECT_EQ(columnsOf(line), 99u);
  const size_t dots = line.find("...");
  ASSERT_NE(dots, std::string::npos);
  EXPECT_EQ(line.substr(dots + 3, 2), "\xC3\xA9");  // not cut inside a character
  EXPECT_EQ(line.substr(line.size() - 6), "??.pcd");
}

TEST(StatusLine, AtMostOneRedrawPerIntervalAtTheWidthOfTheMoment) {
  int64_t now = 1000;
  int width = 200;
  std::vector<std::string> shown;
  StatusLine status([&] { return now; }, [&] { return width; },
                    [&](std::string_view text) { shown.emplace_back(text); });
  status.showImport(5);
  now += 99;
  status.showImport(6);  // too soon
  ASSERT_EQ(shown, std::vector<std::string>{"5 files found"});

  now += 1;
  status.restart();
  now += 2000;
  status.showConversion(twelveOfThirty(""));
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], "12/30 done, 11 converted, 1 failed, 6.0 files/s, 0:02 elapsed, 0:03 left");
  now += 50;
  status.showConversion(twelveOfThirty(""));
  EXPECT_EQ(shown.size(), 2u);
  now += 50;
  width = 40;
  status.showConversion(twelveOfThirty(""));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[2], "12/30 done, 11 converted, 1 failed, 5.7");  // 12 in 2.1 s
}

}  // namespace
}  // namespace quorbix
