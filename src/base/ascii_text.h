// Byte-wise ASCII text rules shared by every reader of names and keywords:
// case mapping of the letters 'a'..'z' and 'A'..'Z' only (every other byte,
// UTF-8 sequences included, stays as it is), comparison without regard to
// that case, the two kinds of blank and hex digits. No locale is consulted.
#pragma once

#include <string>
#include <string_view>

namespace quorbix {

// `c` with 'a'..'z' made upper case; any other byte unchanged.
constexpr char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// `c` with 'A'..'Z' made lower case; any other byte unchanged.
constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The text with every ASCII letter upper-cased / lower-cased.
std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);

// True when both texts have the same length and the same bytes once their
// ASCII letters are brought to one case.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Any ASCII white space: space, tab, line feed, carriage return, vertical tab
// or form feed.
constexpr bool isAsciiWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Space or tab only: the blanks around keys and values of a profile line.
constexpr bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// 0..15 for '0'..'9', 'a'..'f' and 'A'..'F'; -1 for any other byte.
constexpr int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace quorbix
