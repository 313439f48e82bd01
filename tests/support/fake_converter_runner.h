// A ConverterRunner for tests: records every run and pause, and writes a
// Targa picture of a chosen size for the sub-images it is told to "have".
// It takes our converter's command line, with or without the tone option.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "convert/convert_file.h"
#include "support/targa.h"

namespace quorbix::test {

class FakeConverter : public ConverterRunner {
 public:
  // Sub-image index -> picture size written for it.
  std::map<int, std::pair<unsigned, unsigned>> pictures;
  // Called instead of writing a picture, when set (garbage, crashes...).
  std::function<void(int index, const std::string& target)> custom;

  std::vector<int> runs;              // sub-image indices, in order
  std::vector<std::string> events;    // "run 6", "pause 30", in order
  std::vector<std::vector<std::string>> arguments;
  bool own = false;  // whether it passes for the converter beside the program

  ConverterOutcome run(const std::vector<std::string>& args) override;
  void pause(int milliseconds) override { events.push_back("pause " + std::to_string(milliseconds)); }
  bool isOwnConverter() override { return own; }
};

}  // namespace quorbix::test
