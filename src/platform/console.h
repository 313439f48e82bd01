// Console output: one UTF-8 line at a time, ended by "\n" and flushed.
// Lines from any threads never interleave within a line, on either stream.
// Once a stop has begun (see interruption.h) nothing more is printed.
#pragma once

#include <string_view>

namespace quorbix::platform {

// A line on standard output.
void printLine(std::string_view text);

// A line on standard error.
void printErrorLine(std::string_view text);

}  // namespace quorbix::platform
