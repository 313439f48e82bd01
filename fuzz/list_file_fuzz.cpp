// Fuzz target for the list-file reader: byte 0 picks the size of the pieces
// (1 to 256 bytes) in which the rest, a list file's bytes, is fed. The lines
// must be the same as when the file is read whole, each one non-empty,
// without line breaks, NUL or outer spaces, and valid UTF-8 when the file is
// UTF-16.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "job/list_file.h"
#include "settings/utf16_text.h"
#include "text_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorbix;
  if (size == 0) return 0;
  const size_t pieceSize = size_t{data[0]} + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  std::vector<std::string> lines;
  ListFileReader reader([&](std::string_view line) { lines.emplace_back(line); });
  for (size_t at = 0; at < bytes.size(); at += pieceSize) reader.feed(bytes.substr(at, pieceSize));
  reader.finish();

  fuzz::require(lines == listFileLines(bytes));
  const bool utf16 = utf16Order(bytes.substr(0, 4)).has_value();
  for (const std::string& line : lines) {
    fuzz::require(!line.empty() && line.front() != ' ' && line.back() != ' ');
    fuzz::require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    fuzz::require(!utf16 || fuzz::isValidUtf8(line));
  }
  return 0;
}
