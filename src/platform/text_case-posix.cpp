#include "platform/text_case.h"

#include <glib.h>

#include "base/ascii_text.h"

namespace quorbix::platform {
namespace {

bool isValidUtf8(std::string_view text) {
  return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr) != FALSE;
}

// g_utf8_strup/strdown take over the full Unicode case tables, including
// mappings that change the length (German sharp s upper-cases to "SS").
std::string unicodeMapped(std::string_view text, bool upper) {
  if (text.empty()) return std::string();
  if (!isValidUtf8(text)) return upper ? upperAscii(text) : lowerAscii(text);
  gchar* mapped = upper ? g_utf8_strup(text.data(), static_cast<gssize>(text.size()))
                        : g_utf8_strdown(text.data(), static_cast<gssize>(text.size()));
  std::string out(mapped);
  g_free(mapped);
  return out;
}

}  // namespace

std::string upperCase(std::string_view text) { return unicodeMapped(text, true); }
std::string lowerCase(std::string_view text) { return unicodeMapped(text, false); }

std::string firstUpperRestLower(std::string_view text) {
  if (text.empty()) return std::string();
  size_t firstLength = 1;
  if (isValidUtf8(text)) {
    const char* next = g_utf8_next_char(text.data());
    firstLength = static_cast<size_t>(next - text.data());
  }
  return upperCase(text.substr(0, firstLength)) + lowerCase(text.substr(firstLength));
}

}  // namespace quorbix::platform
