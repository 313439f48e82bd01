#include "base/message_catalogue.h"

#include <algorithm>

#include "base/ascii_text.h"

namespace quorbix {
namespace {

constexpr char kNoString[] = "%NO_STRING_ERROR%";
constexpr char kSeparator = '\x01';  // sorts below every printable character

// Decodes one UTF-8 character at `i` and advances `i`. A byte that does not
// start a well-formed sequence stands for itself (U+0080..U+00FF), so any
// text has a defined order.
char32_t nextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char b = byte(i);
  size_t length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
  if (length > 1 && i + length <= text.size()) {
    char32_t cp = b & (0x7F >> length);
    bool ok = true;
    for (size_t k = 1; k < length; ++k) {
      if ((byte(i + k) & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (ok) {
      i += length;
      return cp;
    }
  }
  ++i;
  return b;
}

// Appends the UTF-16 code units of `text`.
std::u16string toUtf16(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t cp = nextCodePoint(text, i);
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(cp));
    }
  }
  return units;
}

// Order of two texts by their UTF-16 code units. UTF-8 byte order equals
// code-point order, which differs from UTF-16 order for characters above
// U+FFFF (surrogates sort below U+E000..U+FFFF), so texts that are not plain
// ASCII are compared as UTF-16. Both paths give the same order, so the sort
// always sees one consistent ordering, whatever bytes the texts hold.
int compareUtf16(std::string_view a, std::string_view b) {
  const auto ascii = [](std::string_view t) {
    return std::all_of(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  if (ascii(a) && ascii(b)) {
    int order = a.compare(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
  }
  std::u16string ua = toUtf16(a), ub = toUtf16(b);
  return ua < ub ? -1 : ua > ub ? 1 : 0;
}

unsigned firstCharacterCode(std::string_view key) {
  if (key.empty()) return 0;
  size_t i = 0;
  return static_cast<unsigned>(nextCodePoint(key, i));
}

// Replaces every occurrence of `placeholder` (matched without regard to ASCII
// case) in `text` with `value`, scanning left to right; the inserted text is
// not scanned again.
std::string replaceIgnoringCase(const std::string& text, std::string_view placeholder,
                                std::string_view value) {
  const std::string upperText = upperAscii(text);
  const std::string upperPlaceholder = upperAscii(placeholder);
  std::string result;
  size_t start = 0;
  for (;;) {
    size_t found = upperText.find(upperPlaceholder, start);
    if (found == std::string::npos) break;
    result.append(text, start, found - start);
    result.append(value);
    start = found + placeholder.size();
  }
  result.append(text, start, std::string::npos);
  return result;
}

}  // namespace

const CatalogueTable& MessageCatalogue::builtInTable() {
  static const CatalogueTable table = {
      {"_GROUP_", "General"},
      {"Preparing", "Preparing..."},
      {"Importing", "Importing..."},
      {"Converting", "Converting..."},
      {"_GROUP_", "Msg"},
      {"Import complete", "Import complete, new files added: %s1%"},
      {"Empty input files", "No input file(s) found. Please, add valid file(s) and try again!"},
      {"Conversion complete", "Conversion complete"},
      {"Conversion is not complete", "Conversion stopped"},
      {"Files converted", "Files converted: %s1% of %s2%"},
      {"_GROUP_", "Uninstall"},
      {"Title", "Uninstall"},
      {"Uninstall Text", "Full Uninstall - Visit Uninstall Center"},
      {"Next", "Next"},
      {"_END_", ""},
  };
  return table;
}

void MessageCatalogue::load(const CatalogueTable& table) {
  // Counting pass.
  size_t groupCount = 0, entryCount = 0;
  for (const auto& [first, second] : table) {
    std::string word = upperAscii(first);
    if (word == "_END_") break;
    if (word == "_GROUP_") ++groupCount;
    else ++entryCount;
  }
  groups_.assign(groupCount + 1, Group{});
  keys_.assign(entryCount + 1, std::string{});
  values_.assign(entryCount + 1, std::string{});
  rememberedGroup_ = 0;

  // Filling pass: the sort texts (key, U+0001, value) go into keys_ for now.
  size_t h = 0;
  int g = 0;
  for (const auto& [first, second] : table) {
    std::string word = upperAscii(first);
    if (word == "_GROUP_") {
      groups_[h].last = g;
      ++h;
      groups_[h].name = upperAscii(second);
      groups_[h].first = g + 1;
      std::fill(std::begin(groups_[h].firstByChar), std::end(groups_[h].firstByChar), 0);
    } else if (word == "_END_") {
      break;
    } else {
      ++g;
      keys_[static_cast<size_t>(g)] = word + kSeparator + second;
    }
  }
  // The table may lack "_END_": the last group then ends with the last entry.
  groups_[h].last = g;

  for (size_t k = 1; k < groups_.size(); ++k) {
    Group& group = groups_[k];
    if (group.first > group.last) continue;
    auto begin = keys_.begin() + group.first;
    auto end = keys_.begin() + group.last + 1;
    std::sort(begin, end, [](const std::string& a, const std::string& b) {
      return compareUtf16(a, b) < 0;
    });
    unsigned previous = 0;
    for (int index = group.first; index <= group.last; ++index) {
      std::string& sortText = keys_[static_cast<size_t>(index)];
      size_t cut = sortText.find(kSeparator);
      values_[static_cast<size_t>(index)] = sortText.substr(cut + 1);
      sortText.resize(cut);
      unsigned code = firstCharacterCode(sortText);
      if (code != previous && code < 256) {
        group.firstByChar[code] = index;
        previous = code;
      }
    }
  }
}

std::string MessageCatalogue::text(std::string_view group, std::string_view key) {
  const std::string groupName = upperAscii(group);
  const std::string wanted = upperAscii(key);
  if (groups_.empty()) return kNoString;
  if (groups_[static_cast<size_t>(rememberedGroup_)].name != groupName) {
    rememberedGroup_ = 0;
    for (size_t k = 1; k < groups_.size(); ++k) {
      if (groups_[k].name == groupName) {
        rememberedGroup_ = static_cast<int>(k);
        break;
      }
    }
    if (rememberedGroup_ == 0) return kNoString;
  }
  const Group& found = groups_[static_cast<size_t>(rememberedGroup_)];
  // Keys begin with a character below 256; any other first character has no
  // slot and so no entry.
  unsigned code = firstCharacterCode(wanted);
  if (code >= 256) return kNoString;
  int start = found.firstByChar[code];
  if (start == 0) return kNoString;
  for (int index = start; index <= found.last; ++index) {
    int order = compareUtf16(wanted, keys_[static_cast<size_t>(index)]);
    if (order == 0) return values_[static_cast<size_t>(index)];
    if (order < 0) break;
  }
  return kNoString;
}

std::string formatMessage(std::string_view text, std::string_view s1, std::string_view s2,
                          std::string_view s3, std::string_view s4) {
  std::string result(text);
  if (result.empty()) return result;
  const std::string_view placeholders[] = {"%s1%", "%s2%", "%s3%", "%s4%"};
  const std::string_view values[] = {s1, s2, s3, s4};
  for (int n = 0; n < 4; ++n) {
    if (!values[n].empty()) result = replaceIgnoringCase(result, placeholders[n], values[n]);
  }
  return result;
}

}  // namespace quorbix
