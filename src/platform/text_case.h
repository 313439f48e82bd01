// Upper and lower case of texts that users name files with, by the system's
// own Unicode case mapping: on Linux glib's full case tables (German sharp s
// upper-cases to "SS"), on Windows the mapping Windows gives file names (one
// UTF-16 unit for another, so a sharp s stays). Byte-wise ASCII for anything
// that is not valid UTF-8 (so an odd file name still gets a name, just
// without the non-ASCII case change). Safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace quorbix::platform {

std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

// The first character upper-cased and the rest lower-cased (img0001 and
// IMG0001 both give Img0001).
std::string firstUpperRestLower(std::string_view text);

}  // namespace quorbix::platform
