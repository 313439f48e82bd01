#include "platform/program_arguments.h"

namespace quorbix::platform {

std::vector<std::string> programArguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

std::string startName(int argc, char** argv) {
  return argc > 0 && argv[0] != nullptr ? std::string(argv[0]) : std::string();
}

}  // namespace quorbix::platform
