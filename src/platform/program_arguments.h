// The program's command-line parameters as UTF-8 texts.
#pragma once

#include <string>
#include <vector>

namespace quorbix::platform {

// The parameters after the program name. On Linux `argv` as delivered, no
// re-splitting; on Windows the wide-character command line split as
// Windows splits it (`argc` and `argv`, in the ANSI code page, are not used
// there).
std::vector<std::string> programArguments(int argc, char** argv);

}  // namespace quorbix::platform
