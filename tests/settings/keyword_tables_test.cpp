#include "settings/keyword_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "settings/keyword_codes.h"

namespace quorbix {
namespace {

TEST(KeywordCode, MatchesWholeKeywordIgnoringCaseAndOuterSpaces) {
  EXPECT_EQ(keywordCode(KT_RESIZE_ALGORITHM, "lanczos"), ALGO_LANCZOS);
  EXPECT_EQ(keywordCode(KT_RESIZE_ALGORITHM, "Lanczos3"), ALGO_BOX);
  EXPECT_EQ(keywordCode(KT_RESIZE_ALGORITHM, "  bicubic  "), ALGO_BICUBIC);
  EXPECT_EQ(keywordCode(KT_RAW_LOAD_AS, "48"), RAW_LOAD_48);
  EXPECT_EQ(keywordCode(KT_RAW_LOAD_AS, "48hs"), RAW_LOAD_48HS);
  EXPECT_EQ(keywordCode(KT_FONT_EFFECT, "STRIKETHROUGH"), EFFECT_NONE);
  EXPECT_EQ(keywordCode(KT_FONT_EFFECT, "strikethrought"), EFFECT_STRIKETHROUGHT);
  EXPECT_EQ(keywordCode(KT_POSITION, "bottomright"), POS_BOTTOMRIGHT);
  EXPECT_EQ(keywordCode(KT_TIMESTAMP, "custom"), TIMESTAMP_CUSTOM);
  // Tabs are not trimmed, so they make the word unknown.
  EXPECT_EQ(keywordCode(KT_TIMESTAMP, "\tcustom"), 0);
  EXPECT_EQ(keywordCode(KT_TIMESTAMP, ""), 0);
  EXPECT_EQ(keywordCode(KT_TIMESTAMP, "   "), 0);
}

TEST(KeywordCode, CompressionGroupsRestartAtZero) {
  EXPECT_EQ(keywordCode(KT_COMPRESSION, "none"), 0);
  EXPECT_EQ(keywordCode(KT_COMPRESSION, "RLE"), BMPTGA_RLE);
  EXPECT_EQ(keywordCode(KT_COMPRESSION, "zlib9"), PNGC_ZLIB9);
  EXPECT_EQ(keywordCode(KT_COMPRESSION, "B44"), EXRC_B44);
  EXPECT_EQ(keywordCode(KT_COMPRESSION, "LZW"), TIFFC_LZW);
  EXPECT_EQ(keywordCode(KT_COMPRESSION, "logluv"), TIFFC_LOGLUV);
  // A keyword of another group keeps its own code: ZIP (EXR) is 1.
  EXPECT_EQ(keywordCode(KT_COMPRESSION, "ZIP"), 1);
}

TEST(KeywordCode, UnknownTableGivesZero) {
  EXPECT_EQ(keywordCode(-1, "AUTO"), 0);
  EXPECT_EQ(keywordCode(23, "AUTO"), 0);
}

TEST(KeywordText, RoundTripsEveryPlainTable) {
  const int tables[] = {KT_DDS_LOAD_AS, KT_RAW_LOAD_AS, KT_FRAME_LOADING, KT_TONE_MAPPING,
                        KT_COLOR_TABLE, KT_COLOR_MODEL, KT_CHROMA_SUBSAMPLING, KT_JPEG_SAVE_AS,
                        KT_ROTATION_TYPE, KT_SIZE_UNIT, KT_RESIZE_TYPE, KT_RESIZE_ALGORITHM,
                        KT_FRAME_TYPE, KT_WATERMARK_TYPE, KT_FONT_STYLE, KT_FONT_EFFECT,
                        KT_TEXT_ALIGNMENT, KT_BOUNDARY, KT_POSITION, KT_WATERMARK_SIZE,
                        KT_TIMESTAMP, KT_PCD_TONE};
  for (int table : tables) {
    int32_t code = 0;
    for (;; ++code) {
      std::string word = keywordText(table, code);
      if (word.empty()) break;
      EXPECT_EQ(keywordCode(table, word), code) << table << " " << word;
    }
    EXPECT_GT(code, 0) << table;
  }
  EXPECT_EQ(keywordText(KT_POSITION, 8), "BOTTOMRIGHT");
  EXPECT_EQ(keywordText(KT_POSITION, 9), "");
  EXPECT_EQ(keywordText(KT_TONE_MAPPING, 2), "AL");
  EXPECT_EQ(keywordText(KT_WATERMARK_TYPE, 2), "IMAGE");
  EXPECT_EQ(keywordText(KT_POSITION, -1), "");
}

TEST(KeywordText, CompressionIsLookedUpWithinItsGroup) {
  using G = CompressionGroup;
  EXPECT_EQ(keywordText(KT_COMPRESSION, 0, G::Tiff), "NONE");
  EXPECT_EQ(keywordText(KT_COMPRESSION, 0, G::Png), "NONE");
  EXPECT_EQ(keywordText(KT_COMPRESSION, 1, G::Tiff), "CCITTFAX3");
  EXPECT_EQ(keywordText(KT_COMPRESSION, 3, G::Png), "ZLIB9");
  EXPECT_EQ(keywordText(KT_COMPRESSION, 1, G::BmpTga), "RLE");
  EXPECT_EQ(keywordText(KT_COMPRESSION, 2, G::BmpTga), "");
  EXPECT_EQ(keywordText(KT_COMPRESSION, 4, G::Exr), "B44");
  EXPECT_EQ(keywordText(KT_COMPRESSION, 8, G::Tiff), "LOGLUV");
  EXPECT_EQ(keywordText(KT_COMPRESSION, 9, G::Tiff), "");
}

TEST(ConvertInteger, ReadsLeadingDigitsInEachBase) {
  EXPECT_EQ(convertInteger("12px"), 12);
  EXPECT_EQ(convertInteger("1.5"), 1);
  EXPECT_EQ(convertInteger("abc"), 0);
  EXPECT_EQ(convertInteger(""), 0);
  EXPECT_EQ(convertInteger("-"), 0);
  EXPECT_EQ(convertInteger("$FF"), 255);
  EXPECT_EQ(convertInteger("$ff"), 255);
  EXPECT_EQ(convertInteger("$50"), 80);
  EXPECT_EQ(convertInteger("80%"), 80);
  EXPECT_EQ(convertInteger("%1010"), 10);
  EXPECT_EQ(convertInteger("%1012"), 5);
  EXPECT_EQ(convertInteger("-90"), -90);
  EXPECT_EQ(convertInteger("+7"), 7);
  EXPECT_EQ(convertInteger(" \t 42"), 42);
  EXPECT_EQ(convertInteger("-$10"), -16);
  EXPECT_EQ(convertInteger("$"), 0);
  EXPECT_EQ(convertInteger("- 5"), 0);
}

TEST(ConvertInteger, KeepsLow32BitsOfA64BitWrappingValue) {
  EXPECT_EQ(convertInteger("2147483647"), 2147483647);
  EXPECT_EQ(convertInteger("2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(convertInteger("-2147483648"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(convertInteger("4294967296"), 0);
  EXPECT_EQ(convertInteger("4294967297"), 1);
  EXPECT_EQ(convertInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(convertInteger("$123456789"), 0x23456789);
  // 2^64 + 5 wraps to 5 in the 64-bit accumulator.
  EXPECT_EQ(convertInteger("18446744073709551621"), 5);
  // A very long digit string must neither crash nor trap.
  std::string huge(100000, '9');
  (void)convertInteger(huge);
  (void)convertInteger("-" + huge);
}

TEST(ConvertReal, ReadsDecimalPrefix) {
  EXPECT_FLOAT_EQ(convertReal("2.2"), 2.2f);
  EXPECT_FLOAT_EQ(convertReal("2,2"), 2.0f);
  EXPECT_FLOAT_EQ(convertReal("  -1.5e1x"), -15.0f);
  EXPECT_FLOAT_EQ(convertReal("+.5"), 0.5f);
  EXPECT_FLOAT_EQ(convertReal("3."), 3.0f);
  EXPECT_FLOAT_EQ(convertReal("1e"), 1.0f);
  EXPECT_FLOAT_EQ(convertReal("1e+"), 1.0f);
  EXPECT_FLOAT_EQ(convertReal("abc"), 0.0f);
  EXPECT_FLOAT_EQ(convertReal(""), 0.0f);
  EXPECT_FLOAT_EQ(convertReal("."), 0.0f);
  EXPECT_FLOAT_EQ(convertReal("0x10"), 0.0f);
}

TEST(ConvertReal, SpecialWordsInAnyCaseOnly) {
  EXPECT_TRUE(std::isnan(convertReal("nan")));
  EXPECT_TRUE(std::isnan(convertReal("NaN")));
  EXPECT_EQ(convertReal("+INFINITY"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(convertReal("-infinity"), -std::numeric_limits<float>::infinity());
  // Other spellings are no numbers.
  EXPECT_EQ(convertReal("inf"), 0.0f);
  EXPECT_EQ(convertReal("Infinity"), 0.0f);
}

TEST(ConvertReal, OutOfRangeBecomesInfinityOrZero) {
  EXPECT_EQ(convertReal("1e999"), std::numeric_limits<float>::infinity());
  EXPECT_EQ(convertReal("-1e39"), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(convertReal("1e-999"), 0.0f);
  EXPECT_EQ(convertReal("0." + std::string(400, '0') + "1"), 0.0f);
  EXPECT_EQ(convertReal(std::string(400, '9')), std::numeric_limits<float>::infinity());
}

}  // namespace
}  // namespace quorbix
