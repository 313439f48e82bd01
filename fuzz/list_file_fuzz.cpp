// Fuzz target for the list-file reader. Byte 0 picks the size of the pieces
// (1 to 256 bytes) in which the rest, a list file's bytes from byte 2 on, is
// fed; byte 1 the longest line taken (1 to 255, or 0 for the program's
// own limit). The lines must be those of a plain reading of the whole file
// (below), each non-empty, without line breaks, NUL or outer spaces, and
// valid UTF-8 when the file is UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf16_text.h"
#include "job/list_file.h"
#include "text_fuzz_support.h"

namespace {

using Lines = std::vector<std::string>;

// The whole file decoded at once, cut at every CR and LF, trimmed and
// filtered: the reader's behaviour written the simplest way.
Lines plainReading(std::string_view bytes, size_t longestLine) {
  using namespace std::string_view_literals;
  std::string text;
  if (auto order = quorbix::utf16Order(bytes.substr(0, 4))) {
    text = quorbix::decodeUtf16(bytes.substr(2), *order);
  } else {
    size_t mark = 0;
    if (bytes.starts_with("\xFF\xFE\x00\x00"sv) || bytes.starts_with("\x00\x00\xFE\xFF"sv)) mark = 4;
    else if (bytes.starts_with("\xEF\xBB\xBF"sv)) mark = 3;
    text = bytes.substr(mark);
  }
  Lines lines;
  std::string line;
  text += '\n';
  for (char c : text) {
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    const size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos) {
      line = line.substr(first, line.find_last_not_of(' ') + 1 - first);
      if (line.find('\0') == std::string::npos && line.size() <= longestLine) lines.push_back(line);
    }
    line.clear();
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorbix;
  if (size < 2) return 0;
  const size_t pieceSize = size_t{data[0]} + 1;
  const size_t longestLine = data[1] == 0 ? kLongestListLine : data[1];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

  Lines lines;
  ListFileReader reader([&](std::string_view line) { lines.emplace_back(line); }, longestLine);
  for (size_t at = 0; at < bytes.size(); at += pieceSize) reader.feed(bytes.substr(at, pieceSize));
  reader.finish();

  fuzz::require(lines == plainReading(bytes, longestLine));
  if (data[1] == 0) fuzz::require(lines == listFileLines(bytes));
  const bool utf16 = utf16Order(bytes.substr(0, 4)).has_value();
  for (const std::string& line : lines) {
    fuzz::require(!line.empty() && line.front() != ' ' && line.back() != ' ');
    fuzz::require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    fuzz::require(!utf16 || fuzz::isValidUtf8(line));
  }
  return 0;
}
