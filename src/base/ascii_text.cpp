#include "base/ascii_text.h"

namespace quorbix {

std::string upperAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = upperAscii(c);
  return result;
}

std::string lowerAscii(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = lowerAscii(c);
  return result;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (upperAscii(a[i]) != upperAscii(b[i])) return false;
  }
  return true;
}

}  // namespace quorbix
