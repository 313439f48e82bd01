// UTF-16 text files: recognising them by their byte-order mark and decoding
// them to UTF-8, whole or in pieces of any size. Used by the profile reader
// and the list-file reader; no other text of the program is UTF-16.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorbix {

enum class Utf16Order { LittleEndian, BigEndian };

// Length of the UTF-16 byte-order mark at the start of a file.
inline constexpr size_t kUtf16MarkLength = 2;

// The byte order announced by `start`, the first bytes of a file (at least
// four of them unless the file is shorter): FF FE is little-endian, FE FF
// big-endian. FF FE 00 00 is the UTF-32 little-endian mark, not a UTF-16
// one; anything else gives no order.
std::optional<Utf16Order> utf16Order(std::string_view start);

// Appends code point `cp` (at most U+10FFFF) as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

// Decodes UTF-16 fed in consecutive pieces: a code unit or a surrogate pair
// split between two pieces is put together. Unpaired surrogates become
// U+FFFD; an odd byte at the very end is dropped.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(Utf16Order order) : bigEndian_(order == Utf16Order::BigEndian) {}

  // Appends the UTF-8 of the code units completed by `bytes` to `out`.
  void decode(std::string_view bytes, std::string& out);

  // The end of the text: a surrogate still waiting for its pair becomes
  // U+FFFD and an odd byte is dropped. The decoder can then start anew.
  void finish(std::string& out);

 private:
  void take(char16_t unit, std::string& out);

  bool bigEndian_;
  bool haveByte_ = false;
  unsigned char firstByte_ = 0;
  char16_t highSurrogate_ = 0;  // 0: none waiting
};

// All of `bytes` (without the mark) decoded at once.
std::string decodeUtf16(std::string_view bytes, Utf16Order order);

}  // namespace quorbix
