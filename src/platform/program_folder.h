// Where the running executable lives.
#pragma once

#include <string>

namespace quorbix::platform {

// The resolved path of the running executable, or "" when it is unknown.
std::string executablePath();

// The folder of the running executable, ending in a separator; "" when unknown.
std::string programFolder();

}  // namespace quorbix::platform
