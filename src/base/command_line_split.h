// The program's own rule for splitting a command line given as one text
// (as Windows hands it over) into words. Pure text work; safe from any
// thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorbix {

// The words of `line`, the program name first. Runs of spaces separate
// words; a word that begins with a double quote runs to the next one (or the
// end), and what follows that quote starts a new word; elsewhere a double
// quote opens a stretch up to the next, spaces included, and the word goes
// on after it. The quotes themselves are dropped. There is no escape
// character: `"C:\with space\"` is the word C:\with space\.
std::vector<std::string> splitCommandLine(std::string_view line);

}  // namespace quorbix
