// The command-line vocabulary: every option the option loop matches, how its
// value is read and what it writes into Settings. The profile reader applies
// the same rows under its own key names. Read-only; safe from any thread.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "settings/keyword_tables.h"
#include "settings/setting_warnings.h"
#include "settings/settings.h"

namespace quorbix {

// How an option reads its value from the parameters.
enum class ValueWay {
  ShortOrLong,        // -x VALUE or --xxx=VALUE
  ShortOrLongJoined,  // as ShortOrLong, with quote joining
  Long,               // --xxx=VALUE only
  LongJoined,         // --xxx=VALUE with quote joining
  Switch,             // no value; anything after "=" is ignored
};

// Writes the option's operation flag (where it has one), then its field from
// `value` (the text as read; ignored by switches). Returns false only when
// --profile could not read its file; the profile's own warnings go to
// `warnings`.
using ApplyOption = bool (*)(Settings& settings, const std::string& value, Warnings& warnings);

// Marks an option whose value is no keyword.
inline constexpr int kNoKeywordTable = -1;

struct OptionRow {
  std::string_view longName;   // upper case with the two dashes: "--INPUT"
  std::string_view shortName;  // upper case: "-I", or empty
  ValueWay way;
  ApplyOption apply;
  // For a keyword option the table its value is looked up in and, for the
  // compression options, the format group whose keywords it offers (the
  // help and the shell completion list them); kNoKeywordTable otherwise.
  int keywordTable = kNoKeywordTable;
  CompressionGroup keywordGroup = CompressionGroup::None;
};

// All rows, in matching order.
std::span<const OptionRow> optionTable();

// The row whose long or short name equals `upperName`, or nullptr.
const OptionRow* findOption(std::string_view upperName);

}  // namespace quorbix
