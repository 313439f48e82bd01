#include "settings/keyword_tables.h"

#include <array>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <span>

#include "base/ascii_text.h"

namespace quorbix {
namespace {

// One row of a keyword table. `group` is used only by the Compression table;
// there the rows of each format group restart at code 0, and the shared
// "NONE" row (group None) stands once at the start.
struct KeywordRow {
  const char* keyword;
  int32_t code;
  CompressionGroup group = CompressionGroup::None;
};

using G = CompressionGroup;

constexpr KeywordRow kDdsLoadAs[] = {{"AUTO", 0}, {"BGRA", 1}, {"RGBA", 2}};
constexpr KeywordRow kRawLoadAs[] = {{"AUTO", 0}, {"8", 1},    {"16", 2},
                                     {"24", 3},   {"48HS", 4}, {"48", 5}};
constexpr KeywordRow kFrameLoading[] = {
    {"ALL", 0}, {"FIRST", 1}, {"MIDDLE", 2}, {"LAST", 3}, {"RANDOM", 4}};
constexpr KeywordRow kToneMapping[] = {
    {"NONE", 0}, {"LINEAR", 1}, {"AL", 2}, {"DRR", 3}, {"GD", 4}};
constexpr KeywordRow kCompression[] = {
    {"NONE", 0},
    {"RLE", 1, G::BmpTga},
    {"ZIP", 1, G::Exr},         {"PIZ", 2, G::Exr},          {"PXR24", 3, G::Exr},
    {"B44", 4, G::Exr},
    {"ZLIB1", 1, G::Png},       {"ZLIB6", 2, G::Png},        {"ZLIB9", 3, G::Png},
    {"CCITTFAX3", 1, G::Tiff},  {"CCITTFAX4", 2, G::Tiff},   {"PACKBITS", 3, G::Tiff},
    {"DEFLATE", 4, G::Tiff},    {"ADOBEDEFLATE", 5, G::Tiff}, {"LZW", 6, G::Tiff},
    {"JPEG", 7, G::Tiff},       {"LOGLUV", 8, G::Tiff}};
constexpr KeywordRow kColorTable[] = {{"AUTO", 0}, {"EXACT", 1}};
constexpr KeywordRow kColorModel[] = {{"RGB", 0}, {"CMYK", 1}, {"LAB", 2}};
constexpr KeywordRow kChromaSubsampling[] = {
    {"NONE", 0}, {"LOW", 1}, {"MEDIUM", 2}, {"HIGH", 3}};
constexpr KeywordRow kJpegSaveAs[] = {
    {"STANDARD", 0}, {"SIMPLE", 1}, {"OPTIMIZED", 2}, {"PROGRESSIVE", 3}};
constexpr KeywordRow kRotationType[] = {{"SIMPLE", 0}, {"ADVANCED", 1}};
constexpr KeywordRow kSizeUnit[] = {{"PIXELS", 0}, {"PERCENT", 1}};
constexpr KeywordRow kResizeType[] = {{"ALLIMAGES", 0}, {"LARGEIMAGES", 1}};
constexpr KeywordRow kResizeAlgorithm[] = {{"BOX", 0},     {"BILINEAR", 1},   {"BSPLINE", 2},
                                           {"BICUBIC", 3}, {"CATMULLROM", 4}, {"LANCZOS", 5}};
constexpr KeywordRow kFrameType[] = {{"NONE", 0}, {"SOLID", 1}};
constexpr KeywordRow kWatermarkType[] = {{"NONE", 0}, {"TEXT", 1}, {"IMAGE", 2}};
constexpr KeywordRow kFontStyle[] = {
    {"REGULAR", 0}, {"BOLD", 1}, {"ITALIC", 2}, {"BOLDITALIC", 3}};
constexpr KeywordRow kFontEffect[] = {{"NONE", 0}, {"UNDERLINE", 1}, {"STRIKETHROUGHT", 2}};
constexpr KeywordRow kTextAlignment[] = {{"LEFT", 0}, {"CENTER", 1}, {"RIGHT", 2}};
constexpr KeywordRow kBoundary[] = {{"IMAGE", 0}, {"FRAME", 1}};
constexpr KeywordRow kPosition[] = {
    {"TOPLEFT", 0},    {"TOPCENTER", 1},    {"TOPRIGHT", 2},
    {"MIDDLELEFT", 3}, {"MIDDLECENTER", 4}, {"MIDDLERIGHT", 5},
    {"BOTTOMLEFT", 6}, {"BOTTOMCENTER", 7}, {"BOTTOMRIGHT", 8}};
constexpr KeywordRow kWatermarkSize[] = {{"FIXED", 0}};
constexpr KeywordRow kTimestamp[] = {{"CURRENT", 0}, {"ORIGINAL", 1}, {"CUSTOM", 2}};
constexpr KeywordRow kPcdTone[] = {{"DISPLAY", 0}, {"FULLRANGE", 1}};

// Indexed by table number (KeywordTableId).
const std::array<std::span<const KeywordRow>, 23> kTables = {
    kDdsLoadAs,     kRawLoadAs,     kFrameLoading,  kToneMapping,       kCompression,
    kColorTable,    kColorModel,    kChromaSubsampling, kJpegSaveAs,   kRotationType,
    kSizeUnit,      kResizeType,    kResizeAlgorithm, kFrameType,       kWatermarkType,
    kFontStyle,     kFontEffect,    kTextAlignment, kBoundary,          kPosition,
    kWatermarkSize, kTimestamp,     kPcdTone};

std::span<const KeywordRow> tableOf(int table) {
  if (table < 0 || static_cast<size_t>(table) >= kTables.size()) return {};
  return kTables[static_cast<size_t>(table)];
}

// The power of ten of the first significant digit of a plain decimal number
// text (digits, optional fraction, optional exponent); used to tell overflow
// from underflow. The exponent saturates instead of overflowing.
int64_t decimalMagnitude(std::string_view number) {
  size_t e = number.find_first_of("eE");
  std::string_view mantissa = number.substr(0, e);
  int64_t exponent = 0;
  if (e != std::string_view::npos) {
    size_t j = e + 1;
    bool minus = j < number.size() && number[j] == '-';
    if (j < number.size() && (number[j] == '-' || number[j] == '+')) ++j;
    for (; j < number.size() && exponent < 1000000000; ++j) exponent = exponent * 10 + (number[j] - '0');
    if (minus) exponent = -exponent;
  }
  size_t point = mantissa.find('.');
  std::string_view whole = mantissa.substr(0, point);
  size_t firstNonZero = whole.find_first_not_of('0');
  if (firstNonZero != std::string_view::npos) {
    return static_cast<int64_t>(whole.size() - firstNonZero) - 1 + exponent;
  }
  std::string_view fraction = point == std::string_view::npos ? std::string_view{} : mantissa.substr(point + 1);
  size_t leadingZeros = fraction.find_first_not_of('0');
  if (leadingZeros == std::string_view::npos) return std::numeric_limits<int64_t>::min() / 2;
  return -static_cast<int64_t>(leadingZeros) - 1 + exponent;
}

// The first row of `table` whose keyword is `text` trimmed of spaces, in any
// case (the keywords are upper case, so this is the text upper-cased against
// them), or nullptr.
const KeywordRow* findKeyword(int table, std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) text = {};
  else text = text.substr(begin, text.find_last_not_of(' ') - begin + 1);
  for (const KeywordRow& row : tableOf(table)) {
    if (equalsIgnoringAsciiCase(text, row.keyword)) return &row;
  }
  return nullptr;
}

}  // namespace

int32_t keywordCode(int table, std::string_view text) {
  const KeywordRow* row = findKeyword(table, text);
  return row == nullptr ? 0 : row->code;
}

KeywordFit keywordFit(int table, std::string_view text, CompressionGroup group) {
  const KeywordRow* row = findKeyword(table, text);
  if (row == nullptr) return KeywordFit::Unknown;
  const bool foreign = table == KT_COMPRESSION && group != CompressionGroup::None &&
                       row->group != CompressionGroup::None && row->group != group;
  return foreign ? KeywordFit::OtherGroup : KeywordFit::Own;
}

std::string keywordText(int table, int32_t code, CompressionGroup group) {
  const bool grouped = table == KT_COMPRESSION;
  for (const KeywordRow& row : tableOf(table)) {
    if (row.code != code) continue;
    if (grouped && code != 0 && row.group != group) continue;
    return row.keyword;
  }
  return {};
}

std::vector<std::string_view> keywordList(int table, CompressionGroup group) {
  const bool grouped = table == KT_COMPRESSION && group != CompressionGroup::None;
  std::vector<std::string_view> keywords;
  for (const KeywordRow& row : tableOf(table)) {
    if (grouped && row.code != 0 && row.group != group) continue;
    keywords.push_back(row.keyword);
  }
  return keywords;
}

int32_t convertInteger(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == '%') {
    base = 2;
    ++i;
  }
  // Unsigned arithmetic wraps by definition: a huge digit string gives its
  // value modulo 2^64, of which the low 32 bits are kept.
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    int digit = hexDigitValue(text[i]);
    if (digit < 0 || digit >= base) break;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  if (negative) value = ~value + 1;
  return static_cast<int32_t>(static_cast<uint32_t>(value & 0xFFFFFFFFu));
}

float convertReal(std::string_view text) {
  if (equalsIgnoringAsciiCase(text, "+Infinity")) return std::numeric_limits<float>::infinity();
  if (equalsIgnoringAsciiCase(text, "-Infinity")) return -std::numeric_limits<float>::infinity();
  if (equalsIgnoringAsciiCase(text, "NaN")) return std::numeric_limits<float>::quiet_NaN();

  size_t i = 0;
  while (i < text.size() && isAsciiWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  // The longest prefix of the form digits [. digits] [e [sign] digits].
  const size_t start = i;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return 0.0f;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '-' || text[j] == '+')) ++j;
    if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
      while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
      i = j;
    }
  }
  std::string_view number = text.substr(start, i - start);
  double value = 0.0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                      std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    value = decimalMagnitude(number) < 0 ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (error != std::errc()) {
    value = 0.0;
  }
  if (value > FLT_MAX) value = std::numeric_limits<double>::infinity();
  float result = static_cast<float>(value);
  return negative ? -result : result;
}

}  // namespace quorbix
