#include "support/fake_converter_runner.h"

#include "pcd/converter_arguments.h"
#include "support/targa.h"

namespace quorbix::test {

ConverterOutcome FakeConverter::run(const std::vector<std::string>& args) {
  arguments.push_back(args);
  // The command line without the tone option, when it is there.
  const auto skip = args.size() == 7 && args[0] == pcd::kToneOption ? 2 : 0;
  const std::vector<std::string> command(args.begin() + skip, args.end());
  int index = -1;
  if (command.size() == 5) {
    const std::string& source = command[3];
    size_t open = source.rfind('[');
    if (open != std::string::npos && source.back() == ']') {
      index = std::stoi(source.substr(open + 1, source.size() - open - 2));
    }
  }
  runs.push_back(index);
  events.push_back("run " + std::to_string(index));
  if (command.size() != 5) return ConverterOutcome::Ended;
  if (custom) {
    custom(index, command[4]);
    return ConverterOutcome::Ended;
  }
  auto it = pictures.find(index);
  if (it != pictures.end()) {
    writeTarga(command[4], static_cast<int>(it->second.first), static_cast<int>(it->second.second));
  }
  return ConverterOutcome::Ended;
}

}  // namespace quorbix::test
