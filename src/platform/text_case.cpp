#include "platform/text_case.h"

#include "platform/text_case_system.h"

namespace quorbix::platform {

std::string upperCase(std::string_view text) { return letter_case::mapped(text, true); }
std::string lowerCase(std::string_view text) { return letter_case::mapped(text, false); }

std::string firstUpperRestLower(std::string_view text) {
  if (text.empty()) return std::string();
  const size_t firstLength = letter_case::firstCharacterLength(text);
  return upperCase(text.substr(0, firstLength)) + lowerCase(text.substr(firstLength));
}

}  // namespace quorbix::platform
