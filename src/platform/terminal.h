// The console window's title. Main thread only.
#pragma once

#include <string_view>

namespace quorbix::platform {

// Sets the terminal's title when standard output is a terminal (through the
// title escape sequence; the previous title is saved on the terminal's title
// stack and restored at exit). Does nothing when output is redirected.
void setConsoleTitle(std::string_view title);

}  // namespace quorbix::platform
