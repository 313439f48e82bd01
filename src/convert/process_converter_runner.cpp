#include "convert/process_converter_runner.h"

#include "platform/process.h"
#include "platform/thread.h"

namespace quorbix {
namespace {

class ProcessConverterRunner : public ConverterRunner {
 public:
  explicit ProcessConverterRunner(std::string programFolder) : programFolder_(std::move(programFolder)) {}

  // The program is looked up for every run, as a bare name would be. Its exit
  // status is not read: only the file it leaves counts.
  void run(const std::vector<std::string>& arguments) override {
    const std::string program = platform::findProgram("convert", programFolder_);
    if (!program.empty()) platform::runProgram(program, arguments);
  }

  void pause(int milliseconds) override { platform::sleepMilliseconds(milliseconds); }

 private:
  std::string programFolder_;
};

}  // namespace

std::unique_ptr<ConverterRunner> makeProcessConverterRunner(const std::string& programFolder) {
  return std::make_unique<ProcessConverterRunner>(programFolder);
}

}  // namespace quorbix
