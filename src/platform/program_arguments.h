// The program's command-line parameters as UTF-8 texts.
#pragma once

#include <string>
#include <vector>

namespace quorbix::platform {

// The parameters after the program name, for `main`. On Linux `argv` as
// delivered, no re-splitting; on Windows the wide-character command line
// split as Windows splits it (`argc` and `argv`, in the ANSI code page, are
// not used there).
std::vector<std::string> programArguments(int argc, char** argv);

// The name the program was started by (`argv[0]`) in UTF-8, for `main`; ""
// when there is none. On Windows from the wide-character command line too.
std::string startName(int argc, char** argv);

// The same two for `wmain` (Windows only, a program linked with -municode):
// its `argv`, UTF-16 as Windows split the command line, turned into UTF-8.
std::vector<std::string> wideProgramArguments(int argc, wchar_t** argv);
std::string wideStartName(int argc, wchar_t** argv);

}  // namespace quorbix::platform
