#include "ops/color.h"

#include <gtest/gtest.h>

namespace quorbix {

TEST(ParseColor, ReadsSixHexDigitsInEitherCase) {
  EXPECT_EQ(parseColor("FF0000"), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(parseColor("ff8001"), (Rgba{255, 128, 1, 255}));
  EXPECT_EQ(parseColor("0a0B0c", 128), (Rgba{10, 11, 12, 128}));
}

TEST(ParseColor, WrongLengthIsBlack) {
  EXPECT_EQ(parseColor("ABC"), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(parseColor(""), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(parseColor("FFFFFFF"), (Rgba{0, 0, 0, 255}));
}

TEST(ParseColor, PairStopsAtFirstNonHexCharacter) {
  // "F" then "G": the pair reads as 0xF; "G0" reads as 0.
  EXPECT_EQ(parseColor("FGG0zz"), (Rgba{15, 0, 0, 255}));
}

}  // namespace quorbix

namespace quorbix {

TEST(ParseColor, LengthCountsCharactersNotBytes) {
  // "AAé00" is six bytes but five characters; "AAé000" is six characters.
  EXPECT_EQ(parseColor("AA\xC3\xA9" "00"), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(parseColor("AA\xC3\xA9" "000"), (Rgba{170, 0, 0, 255}));
  EXPECT_EQ(parseColor("A\xC3\xA9" "FFFF"), (Rgba{10, 255, 255, 255}));
  // A character beyond the Basic Multilingual Plane counts twice.
  EXPECT_EQ(parseColor("\xF0\x9F\x8E\xA8" "1234"), (Rgba{0, 0x12, 0x34, 255}));
}

}  // namespace quorbix
