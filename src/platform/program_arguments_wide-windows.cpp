#include "platform/program_arguments.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform {

std::vector<std::string> wideProgramArguments(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(narrowText(argv[i]));
  return arguments;
}

std::string wideStartName(int argc, wchar_t** argv) {
  return argc > 0 && argv[0] != nullptr ? narrowText(argv[0]) : std::string();
}

}  // namespace quorbix::platform
