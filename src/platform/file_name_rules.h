// Whether the file system can hold a name the program made up (from a
// filename mask): Windows refuses some characters, its device names and
// names ending in a dot or space, or reads them as something else (a ":"
// names an alternate data stream). Safe from any thread.
#pragma once

#include <string>
#include <string_view>

namespace quorbix::platform {

// Why `name` (one name, without separators) cannot be a file or folder
// name here; "" when it can. Always "" on Linux, whose file systems hold
// any name without "/" and NUL.
std::string unholdableNameReason(std::string_view name);

}  // namespace quorbix::platform
