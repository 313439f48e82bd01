// Colour texts: exactly six characters RRGGBB, each pair read as hexadecimal
// up to its first non-hex character; any other text is black.
#pragma once

#include <cstdint>
#include <string_view>

namespace quorbix {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

Rgba parseColor(std::string_view text, uint8_t opacity = 255);

}  // namespace quorbix
