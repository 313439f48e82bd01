#include "platform/program_arguments.h"

// windows.h (through wide_text) before shellapi.h, which needs it.
#include "platform/wide_text-windows.h"

#include <shellapi.h>

namespace quorbix::platform {

std::vector<std::string> programArguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* split = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (split == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(narrowText(split[i]));
  ::LocalFree(split);
  return arguments;
}

}  // namespace quorbix::platform
