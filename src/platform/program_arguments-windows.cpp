#include "platform/program_arguments.h"

// windows.h (through wide_text) before shellapi.h, which needs it.
#include "platform/wide_text-windows.h"

#include <shellapi.h>

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

std::vector<std::string> wideProgramArguments(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(narrowText(argv[i]));
  return arguments;
}

std::string startName(int, char**) {
  std::vector<std::string> words = splitCommandLine();
  return words.empty() ? std::string() : words.front();
}

std::string wideStartName(int argc, wchar_t** argv) {
  return argc > 0 && argv[0] != nullptr ? narrowText(argv[0]) : std::string();
}

}  // namespace quorbix::platform
