#include "base/ascii_text.h"

#include <gtest/gtest.h>

namespace quorbix {

TEST(AsciiCase, MapsOnlyTheLettersAndLeavesOtherBytes) {
  // The neighbours of the letter ranges and the bytes of UTF-8 sequences
  // ("é" is C3 A9, "É" C3 89) stay as they are, whatever the locale.
  EXPECT_EQ(upperAscii("az@[`{09_\xC3\xA9"), "AZ@[`{09_\xC3\xA9");
  EXPECT_EQ(lowerAscii("AZ@[`{09_\xC3\x89"), "az@[`{09_\xC3\x89");
  EXPECT_EQ(upperAscii(std::string_view("a\0b", 3)), std::string("A\0B", 3));
  EXPECT_EQ(upperAscii('q'), 'Q');
  EXPECT_EQ(lowerAscii('Q'), 'q');
  EXPECT_EQ(lowerAscii('\xC9'), '\xC9');
}

TEST(AsciiCase, EqualityFoldsLettersOnlyAndNeedsTheSameLength) {
  EXPECT_TRUE(equalsIgnoringAsciiCase("Img0001.PcD", "IMG0001.pcd"));
  EXPECT_TRUE(equalsIgnoringAsciiCase("", ""));
  EXPECT_FALSE(equalsIgnoringAsciiCase("abc", "abcd"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("abcd", "abc"));
  EXPECT_FALSE(equalsIgnoringAsciiCase("[", "{"));  // 0x5B and 0x7B are no letters
  EXPECT_FALSE(equalsIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));
}

TEST(AsciiBlanks, WhiteSpaceAndSpaceOrTabDiffer) {
  for (char c : {' ', '\t'}) {
    EXPECT_TRUE(isAsciiWhiteSpace(c));
    EXPECT_TRUE(isSpaceOrTab(c));
  }
  for (char c : {'\n', '\r', '\v', '\f'}) {
    EXPECT_TRUE(isAsciiWhiteSpace(c));
    EXPECT_FALSE(isSpaceOrTab(c));
  }
  for (char c : {'\0', 'x', '\xA0', '\x1C'}) {
    EXPECT_FALSE(isAsciiWhiteSpace(c));
    EXPECT_FALSE(isSpaceOrTab(c));
  }
}

TEST(AsciiHexDigits, ValuesOfBothCasesAndNoneForOtherBytes) {
  EXPECT_EQ(hexDigitValue('0'), 0);
  EXPECT_EQ(hexDigitValue('9'), 9);
  EXPECT_EQ(hexDigitValue('a'), 10);
  EXPECT_EQ(hexDigitValue('F'), 15);
  for (char c : {'g', 'G', '/', ':', '@', '`', '\0', '\xB9'}) EXPECT_EQ(hexDigitValue(c), -1);
}

}  // namespace quorbix
