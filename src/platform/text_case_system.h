// The operating system's part of the case mapping (platform/text_case.h).
// Only the case mapping's sources include this.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorbix::platform::letter_case {

// `text` upper- or lower-cased by the system's Unicode mapping; byte-wise
// ASCII when it is not valid UTF-8.
std::string mapped(std::string_view text, bool upper);

// The length in bytes of the first character of a non-empty `text`: its
// UTF-8 sequence when the text is valid UTF-8, else 1.
size_t firstCharacterLength(std::string_view text);

}  // namespace quorbix::platform::letter_case
