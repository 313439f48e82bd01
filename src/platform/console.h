// Console output: one UTF-8 line at a time, ended by "\n" and flushed.
// Lines from the main thread and the worker never interleave within a line.
// Once a stop has begun (see interruption.h) nothing more is printed.
#pragma once

#include <string_view>

namespace quorbix::platform {

// On standard output.
void printLine(std::string_view text);

// On standard error.
void printErrorLine(std::string_view text);

}  // namespace quorbix::platform
