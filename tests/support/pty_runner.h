// Pseudo-terminals for the end-to-end tests: a terminal for a run of the
// built program to write to (RunOptions::terminalColumns of program_runner),
// and what a screen shows after the bytes a run wrote to it.
#pragma once

#include <string>
#include <vector>

namespace quorbix::test {

struct PseudoTerminal {
  int master = -1;        // close-on-exec; -1 when none could be made
  std::string slavePath;  // what the program opens as its terminal
};

// A new pseudo-terminal, `columns` wide and 24 lines high.
PseudoTerminal openPseudoTerminal(int columns);

// The lines a terminal shows after `bytes`, top first, without the empty
// line the cursor ends on: "\r" goes back to the start of the line, "\n"
// down one line, "ESC [ K" erases to the end of the line; other escape
// sequences (CSI, OSC such as a title, two-character ones) change nothing
// that is shown. No scrolling limit, no wrapping.
std::vector<std::string> terminalScreen(const std::string& bytes);

}  // namespace quorbix::test
