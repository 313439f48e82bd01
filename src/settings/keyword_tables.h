// The numbered keyword tables that keyword settings accept, and the text
// conversions of option values (integers, reals). Read-only after start-up;
// safe from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorbix {

enum KeywordTableId {
  KT_DDS_LOAD_AS = 0, KT_RAW_LOAD_AS = 1, KT_FRAME_LOADING = 2, KT_TONE_MAPPING = 3,
  KT_COMPRESSION = 4, KT_COLOR_TABLE = 5, KT_COLOR_MODEL = 6, KT_CHROMA_SUBSAMPLING = 7,
  KT_JPEG_SAVE_AS = 8, KT_ROTATION_TYPE = 9, KT_SIZE_UNIT = 10, KT_RESIZE_TYPE = 11,
  KT_RESIZE_ALGORITHM = 12, KT_FRAME_TYPE = 13, KT_WATERMARK_TYPE = 14, KT_FONT_STYLE = 15,
  KT_FONT_EFFECT = 16, KT_TEXT_ALIGNMENT = 17, KT_BOUNDARY = 18, KT_POSITION = 19,
  KT_WATERMARK_SIZE = 20, KT_TIMESTAMP = 21, KT_PCD_TONE = 22
};

// Format groups of the Compression table (ignored by the other tables).
enum class CompressionGroup { None, BmpTga, Exr, Png, Tiff };

// The code of `text` (trimmed of spaces, upper-cased) in table `table`;
// 0 when it is no keyword of the table.
int32_t keywordCode(int table, std::string_view text);

// How a text fits the keywords an option offers.
enum class KeywordFit {
  Own,         // one of the table's keywords (for Compression, of `group`)
  OtherGroup,  // a Compression keyword of another format group
  Unknown,     // none of the table's keywords
};

// How `text` (trimmed of spaces, any case) fits `table`, within `group` for
// Compression (where group None takes every keyword as its own). keywordCode
// gives the code of every text all the same.
KeywordFit keywordFit(int table, std::string_view text, CompressionGroup group = CompressionGroup::None);

// The keyword of `code` in `table` (within `group` for Compression), or the
// empty text when no row has that code.
std::string keywordText(int table, int32_t code, CompressionGroup group = CompressionGroup::None);

// The keywords of `table` in code order; for Compression with a group other
// than None, "NONE" and that group's keywords only. Empty for an unknown table.
std::vector<std::string_view> keywordList(int table, CompressionGroup group = CompressionGroup::None);

// Integer conversion: optional sign, "$" hex, "%" binary or decimal digits up
// to the first non-digit; 64-bit wrapping accumulation, low 32 bits kept.
int32_t convertInteger(std::string_view text);

// Real conversion: "+Infinity", "-Infinity", "NaN" in any case, else a
// decimal number with "." up to the first character that cannot continue it.
float convertReal(std::string_view text);

}  // namespace quorbix
