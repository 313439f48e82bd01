#include "ops/color.h"

#include <string>

#include "base/ascii_text.h"

namespace quorbix {
namespace {

// The text as characters the way the length rule counts them (UTF-16 code
// units: one per character, two for one beyond the Basic Multilingual
// Plane). Every non-ASCII character becomes '\0', which is no hex digit.
std::string characters(std::string_view utf8) {
  std::string out;
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else if (byte >= 0xF0) {
      out.append(2, '\0');
    } else if (byte >= 0xC0) {
      out += '\0';
    }  // continuation bytes belong to the character before
  }
  return out;
}

// Reads one two-character pair; reading stops at the first non-hex digit.
uint8_t readPair(std::string_view pair) {
  int value = 0;
  for (char c : pair) {
    int d = hexDigitValue(c);
    if (d < 0) break;
    value = value * 16 + d;
  }
  return static_cast<uint8_t>(value);
}

}  // namespace

Rgba parseColor(std::string_view text, uint8_t opacity) {
  Rgba color;
  color.a = opacity;
  const std::string chars = characters(text);
  if (chars.size() != 6) return color;
  const std::string_view view = chars;
  color.r = readPair(view.substr(0, 2));
  color.g = readPair(view.substr(2, 2));
  color.b = readPair(view.substr(4, 2));
  return color;
}

}  // namespace quorbix
