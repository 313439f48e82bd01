#include "settings/setting_warnings.h"

namespace quorbix {

void checkKeyword(int table, CompressionGroup group, std::string_view name, std::string_view value,
                  std::string_view where, Warnings& warnings) {
  if (table < 0) return;
  const KeywordFit fit = keywordFit(table, value, group);
  if (fit == KeywordFit::Own) return;

  // Named as written, without the spaces that matching ignores.
  std::string_view keyword;
  if (size_t begin = value.find_first_not_of(' '); begin != std::string_view::npos) {
    keyword = value.substr(begin, value.find_last_not_of(' ') - begin + 1);
  }
  std::string text;
  if (keyword.empty()) {
    text.append("No keyword for ").append(name).append(where);
  } else if (fit == KeywordFit::Unknown) {
    text.append("Unknown keyword ").append(keyword).append(" for ").append(name).append(where);
  } else {
    text.append("Keyword ").append(keyword).append(" for ").append(name).append(where)
        .append(" belongs to another format");
  }
  // What the setting now holds: the code the keyword has in whatever group
  // it belongs to, which this option reads as one of its own.
  const int32_t code = keywordCode(table, value);
  const std::string used = keywordText(table, code, group);
  if (used.empty()) text.append(", code ").append(std::to_string(code)).append(" is kept");
  else text.append(", ").append(used).append(" is used");
  warnings.push_back(std::move(text));
}

}  // namespace quorbix
