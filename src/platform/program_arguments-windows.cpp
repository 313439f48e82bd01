#include "platform/program_arguments.h"

// windows.h (through wide_text) before shellapi.h, which needs it.
#include "platform/wide_text-windows.h"

#include <shellapi.h>

// Only the `main` forms are here: they split the command line with SHELL32,
// which costs every process that loads it a noticeable start. The `wmain`
// forms, all the two programs use, are in program_arguments_wide-windows.cpp,
// so that the converter, started once or twice per picture, never loads it.

namespace quorbix::platform {
namespace {

// The wide-character command line as Windows splits it, program name first.
std::vector<std::string> splitCommandLine() {
  std::vector<std::string> words;
  int count = 0;
  LPWSTR* split = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (split == nullptr) return words;
  for (int i = 0; i < count; ++i) words.push_back(narrowText(split[i]));
  ::LocalFree(split);
  return words;
}

}  // namespace

std::vector<std::string> programArguments(int, char**) {
  std::vector<std::string> arguments = splitCommandLine();
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

std::string startName(int, char**) {
  std::vector<std::string> words = splitCommandLine();
  return words.empty() ? std::string() : words.front();
}

}  // namespace quorbix::platform
