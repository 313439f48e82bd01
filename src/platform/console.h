// Console output: one UTF-8 line at a time, ended by "\n" and flushed.
// Lines from the main thread and the worker never interleave within a line.
#pragma once

#include <string_view>

namespace quorbix::platform {

void printLine(std::string_view text);

}  // namespace quorbix::platform
