// Console output: one UTF-8 line at a time, ended by "\n" and flushed.
// Lines from any threads never interleave within a line, on either stream.
// Once a stop has begun (see interruption.h) nothing more is printed.
//
// On a terminal, a run may also keep one status line at the bottom of
// standard error, redrawn in place. It goes to a duplicate of standard error
// taken when it is opened (so it never lands where standard error is
// diverted meanwhile), under the same lock as the lines, and it is erased
// before every line on either stream, when it is closed, and when a stop
// begins.
#pragma once

#include <string_view>

namespace quorbix::platform {

// A line on standard output.
void printLine(std::string_view text);

// A line on standard error.
void printErrorLine(std::string_view text);

// True when standard error is a terminal now: the status line is then
// opened and ready for showStatusLine. False (and nothing open) otherwise.
bool openStatusLine();

// The terminal's width in columns now; 0 when no status line is open or
// the width is unknown.
int statusLineWidth();

// Replaces the status line with `text` (one line that fits the width,
// without control characters). Does nothing when none is open or a stop
// has begun.
void showStatusLine(std::string_view text);

// Erases the status line if one is shown; the next showStatusLine draws it
// again.
void clearStatusLine();

// Erases the status line and closes it.
void closeStatusLine();

}  // namespace quorbix::platform
