// Upper and lower case of texts that users name files with: Unicode-aware for
// UTF-8 text, byte-wise ASCII for anything that is not valid UTF-8 (so an
// odd file name still gets a name, just without the non-ASCII case change).
#pragma once

#include <string>
#include <string_view>

namespace quorbix {

std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);

// The first character upper-cased and the rest lower-cased (img0001 and
// IMG0001 both give Img0001).
std::string firstUpperRestLower(std::string_view text);

}  // namespace quorbix
