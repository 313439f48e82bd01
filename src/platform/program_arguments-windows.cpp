#include "platform/program_arguments.h"

#include "base/command_line_split.h"
#include "platform/wide_text-windows.h"

// The `main` forms, which quorbix uses: the command line split by the
// program's own rule (base/command_line_split.h), not by the C runtime's,
// for which a backslash before a quote escapes it ("C:\out\" in a batch
// file). The `wmain` forms, the converter's, are in
// program_arguments_wide-windows.cpp.

namespace quorbix::platform {

std::vector<std::string> programArguments(int, char**) {
  std::vector<std::string> arguments = splitCommandLine(narrowText(::GetCommandLineW()));
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

std::string startName(int, char**) {
  std::vector<std::string> words = splitCommandLine(narrowText(::GetCommandLineW()));
  return words.empty() ? std::string() : words.front();
}

}  // namespace quorbix::platform
