// The program's command-line parameters as UTF-8 texts.
#pragma once

#include <string>
#include <vector>

namespace quorbix::platform {

// The parameters after the program name, for quorbix. On Linux `argv` as
// delivered, no re-splitting; on Windows the wide-character command line
// split by the program's own rule (base/command_line_split.h: no escape
// character), whatever entry point the program has (`argc` and `argv` are
// not used there).
std::vector<std::string> programArguments(int argc, char** argv);

// The name the program was started by (`argv[0]`) in UTF-8; "" when there
// is none. On Windows the first word of the command line by the same rule.
std::string startName(int argc, char** argv);

// The same two for `wmain` (Windows only, a program linked with -municode):
// its `argv`, UTF-16 as the C runtime split the command line (a backslash
// before a quote escapes it), turned into UTF-8. The converter's: quorbix
// quotes its arguments by that rule (platform/process.h).
std::vector<std::string> wideProgramArguments(int argc, wchar_t** argv);
std::string wideStartName(int argc, wchar_t** argv);

}  // namespace quorbix::platform
