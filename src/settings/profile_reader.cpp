#include "settings/profile_reader.h"

#include "base/ascii_text.h"
#include "base/utf16_text.h"
#include "platform/file_system.h"
#include "settings/option_table.h"

namespace quorbix {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";  // UTF-8

std::string fromLatin1(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) appendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

// Keeps well-formed UTF-8 and puts U+FFFD for every byte that does not
// belong to a well-formed sequence (overlong forms and surrogates included),
// so that every text taken from a profile is valid UTF-8.
std::string validUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    size_t length = (b >= 0xC2 && b <= 0xDF) ? 2 : (b >= 0xE0 && b <= 0xEF) ? 3
                  : (b >= 0xF0 && b <= 0xF4) ? 4 : 0;
    bool ok = length != 0 && i + length <= bytes.size();
    char32_t cp = length == 0 ? 0 : b & (0x7F >> length);
    for (size_t k = 1; ok && k < length; ++k) {
      unsigned char c = static_cast<unsigned char>(bytes[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (ok) {
      const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
      ok = cp >= minimum[length] && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
    }
    if (ok) {
      out.append(bytes.substr(i, length));
      i += length;
    } else {
      appendUtf8(out, 0xFFFD);
      ++i;
    }
  }
  return out;
}

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isSpaceOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpaceOrTab(text.back())) text.remove_suffix(1);
  return text;
}

std::string withoutOuterQuotes(std::string_view text) {
  while (!text.empty() && text.front() == '"') text.remove_prefix(1);
  while (!text.empty() && text.back() == '"') text.remove_suffix(1);
  return std::string(text);
}

// Options that profiles leave out: the job fields, --profile and the console
// switches, and the frame opacity under its command-line name.
bool leftOutOfProfiles(std::string_view upperKey) {
  static const std::string_view kNotInProfiles[] = {
      "--INPUT", "--OUTPUT", "--CONVERSION", "--PROFILE", "--DEBUG", "--QUIET", "--PAUSE",
      "--FR-SOLID-OPACITY"};
  for (std::string_view excluded : kNotInProfiles) {
    if (upperKey == excluded) return true;
  }
  return false;
}

// The option behind a profile key. A profile names the same options as the
// command line, without those left out, and its frame-opacity key is
// "--WM-SOLID-OPACITY".
const OptionRow* optionForKey(const std::string& upperKey) {
  std::string_view name = upperKey;
  if (name == "--WM-SOLID-OPACITY") return findOption("--FR-SOLID-OPACITY");
  if (name.size() < 3 || name.substr(0, 2) != "--" || leftOutOfProfiles(name)) return nullptr;
  return findOption(name);
}

// The warning for a key line that names no profile key, or whose keyword is
// none of its option's, if there is one.
void checkEntry(const ProfileEntry& entry, const std::string& path, Warnings& warnings) {
  const std::string where = " in profile " + path + " line " + std::to_string(entry.line);
  const std::string key = upperAscii(entry.key);
  if (const OptionRow* option = optionForKey(key)) {
    checkKeyword(option->keywordTable, option->keywordGroup, entry.key, entry.value, where, warnings);
  } else if (entry.key.empty()) {
    warnings.push_back("Line without a key" + where + ", ignored");
  } else if (!leftOutOfProfiles(key)) {
    warnings.push_back("Unknown key " + entry.key + where + ", ignored");
  }
}

}  // namespace

std::vector<ProfileEntry> parseProfile(std::string_view bytes) {
  std::string text;
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text = validUtf8(bytes.substr(kByteOrderMark.size()));
  } else if (std::optional<Utf16Order> order = utf16Order(bytes)) {
    text = decodeUtf16(bytes.substr(kUtf16MarkLength), *order);
  } else {
    text = fromLatin1(bytes);
  }

  std::vector<ProfileEntry> entries;
  enum class Where { BeforeCli, InCli, AfterCli } where = Where::BeforeCli;
  size_t start = 0;
  size_t lineNumber = 0;
  while (start < text.size() && where != Where::AfterCli) {
    ++lineNumber;
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    // CR LF ends one line, not two (the empty line between would be skipped
    // anyway).
    start = end + 1;
    if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;

    while (!line.empty() && isSpaceOrTab(line.front())) line.remove_prefix(1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::string_view name = line.substr(1, line.find(']') == std::string_view::npos
                                                 ? std::string_view::npos
                                                 : line.find(']') - 1);
      bool isCli = upperAscii(name) == "CLI";
      if (where == Where::InCli) where = Where::AfterCli;
      else if (isCli) where = Where::InCli;
      continue;
    }
    if (where != Where::InCli) continue;
    size_t equals = line.find('=');
    ProfileEntry entry;
    entry.line = lineNumber;
    std::string_view key = line.substr(0, equals);
    while (!key.empty() && isSpaceOrTab(key.back())) key.remove_suffix(1);
    entry.key = std::string(key);
    if (equals != std::string_view::npos) entry.value = std::string(trimBlanks(line.substr(equals + 1)));
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool applyProfileEntry(const ProfileEntry& entry, Settings& settings) {
  const std::string key = upperAscii(entry.key);
  const OptionRow* option = optionForKey(key);
  if (option == nullptr) return false;
  // Profiles name no further profiles, so applying a key adds no warnings.
  Warnings none;
  // Text values keep their double quotes, except the filename mask.
  if (key == "--FILENAME-MASK") option->apply(settings, withoutOuterQuotes(entry.value), none);
  else option->apply(settings, entry.value, none);
  return true;
}

bool readProfile(const std::string& path, Settings& settings, Warnings* warnings) {
  if (path.empty()) return false;
  // Only regular files: opening a FIFO would block and a device may never end.
  if (platform::pathInfo(path).kind != platform::PathKind::File) return false;
  std::string bytes;
  if (!platform::readWholeFile(path, bytes, kMaxProfileBytes)) return false;
  for (const ProfileEntry& entry : parseProfile(bytes)) {
    if (warnings != nullptr) checkEntry(entry, path, *warnings);
    applyProfileEntry(entry, settings);
  }
  return true;
}

}  // namespace quorbix
