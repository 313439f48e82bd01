// Helpers shared by the fuzz targets for the readers of text: splitting an
// input into texts, and the checks the readers' results must pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace quorbix::fuzz {

// The input cut at every NUL byte (the NULs themselves dropped).
inline std::vector<std::string> splitAtNul(const uint8_t* data, size_t size) {
  std::vector<std::string> pieces(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) pieces.emplace_back();
    else pieces.back() += static_cast<char>(data[i]);
  }
  return pieces;
}

// True for well-formed UTF-8 (no overlong forms, no surrogates, at most
// U+10FFFF); NUL counts as a character like any other.
inline bool isValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    const size_t length = (b >= 0xC2 && b <= 0xDF) ? 2 : (b >= 0xE0 && b <= 0xEF) ? 3
                        : (b >= 0xF0 && b <= 0xF4) ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    char32_t cp = b & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

// Stops the run as a finding when `holds` is false.
inline void require(bool holds) {
  if (!holds) std::abort();
}

}  // namespace quorbix::fuzz
