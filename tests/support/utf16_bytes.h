// Text files as a Windows editor saves "Unicode" text: a UTF-16 byte-order
// mark and the code units in either byte order.
#pragma once

#include <string>
#include <string_view>

namespace quorbix::test {

inline std::string utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

}  // namespace quorbix::test
