#include "platform/text_case_system.h"

#include <glib.h>

#include "base/ascii_text.h"

namespace quorbix::platform::letter_case {
namespace {

bool isValidUtf8(std::string_view text) {
  return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr) != FALSE;
}

}  // namespace

// g_utf8_strup/strdown take over the full Unicode case tables, including
// mappings that change the length (German sharp s upper-cases to "SS").
std::string mapped(std::string_view text, bool upper) {
  if (text.empty()) return std::string();
  if (!isValidUtf8(text)) return upper ? upperAscii(text) : lowerAscii(text);
  gchar* glibText = upper ? g_utf8_strup(text.data(), static_cast<gssize>(text.size()))
                          : g_utf8_strdown(text.data(), static_cast<gssize>(text.size()));
  std::string out(glibText);
  g_free(glibText);
  return out;
}

size_t firstCharacterLength(std::string_view text) {
  if (!isValidUtf8(text)) return 1;
  return static_cast<size_t>(g_utf8_next_char(text.data()) - text.data());
}

}  // namespace quorbix::platform::letter_case
