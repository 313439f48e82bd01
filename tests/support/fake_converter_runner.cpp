#include "support/fake_converter_runner.h"

#include "support/targa.h"

namespace quorbix::test {

ConverterOutcome FakeConverter::run(const std::vector<std::string>& args) {
  arguments.push_back(args);
  int index = -1;
  if (args.size() == 5) {
    const std::string& source = args[3];
    size_t open = source.rfind('[');
    if (open != std::string::npos && source.back() == ']') {
      index = std::stoi(source.substr(open + 1, source.size() - open - 2));
    }
  }
  runs.push_back(index);
  events.push_back("run " + std::to_string(index));
  if (args.size() != 5) return ConverterOutcome::Ended;
  if (custom) {
    custom(index, args[4]);
    return ConverterOutcome::Ended;
  }
  auto it = pictures.find(index);
  if (it != pictures.end()) {
    writeTarga(args[4], static_cast<int>(it->second.first), static_cast<int>(it->second.second));
  }
  return ConverterOutcome::Ended;
}

}  // namespace quorbix::test
