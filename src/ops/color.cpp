#include "ops/color.h"

namespace quorbix {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads one two-character pair; reading stops at the first non-hex digit.
uint8_t readPair(std::string_view pair) {
  int value = 0;
  for (char c : pair) {
    int d = hexDigit(c);
    if (d < 0) break;
    value = value * 16 + d;
  }
  return static_cast<uint8_t>(value);
}

}  // namespace

Rgba parseColor(std::string_view text, uint8_t opacity) {
  Rgba color;
  color.a = opacity;
  if (text.size() != 6) return color;
  color.r = readPair(text.substr(0, 2));
  color.g = readPair(text.substr(2, 2));
  color.b = readPair(text.substr(4, 2));
  return color;
}

}  // namespace quorbix
