#include "convert/process_converter_runner.h"

#include "pcd/available_levels.h"
#include "pcd/converter_arguments.h"
#include "platform/folder_separator.h"
#include "platform/process.h"
#include "platform/thread.h"

namespace quorbix {
namespace {

// runProgram's status for a program ended by a signal is 128 + its number.
constexpr int kSignalBase = 128;

// True when `program` lies directly in `folder`.
bool isIn(const std::string& program, const std::string& folder) {
  if (folder.empty()) return false;
  const std::string prefix = platform::withFolderSeparator(folder);
  return program.size() > prefix.size() && program.compare(0, prefix.size(), prefix) == 0 &&
         platform::nextFolderSeparator(program, prefix.size()) == std::string::npos;
}

class ProcessConverterRunner : public ConverterRunner {
 public:
  explicit ProcessConverterRunner(std::string programFolder) : programFolder_(std::move(programFolder)) {}

  // The program is looked up for every run, as a bare name would be. The
  // `convert` in the program's own folder is ours (the build and the install
  // put it there), and its exit status kExitCannotWrite is believed; for a
  // converter found on PATH only the file it leaves counts.
  ConverterOutcome run(const std::vector<std::string>& arguments) override {
    const std::string program = platform::findProgram("convert", programFolder_);
    if (program.empty()) return ConverterOutcome::Missing;
    const int status = platform::runProgram(program, arguments);
    if (status == -1) return ConverterOutcome::NotStarted;
    // Ended by a signal, or on Windows by an exception (a status such as
    // 0xC0000005, negative as an int).
    if (status > kSignalBase || status < -1) return ConverterOutcome::Crashed;
    const bool ours = isIn(program, programFolder_);
    return ours && status == pcd::kExitCannotWrite ? ConverterOutcome::CannotWrite : ConverterOutcome::Ended;
  }

  bool isOwnConverter() override { return isIn(platform::findProgram("convert", programFolder_), programFolder_); }

  void pause(int milliseconds) override { platform::sleepMilliseconds(milliseconds); }

  // Our converter says "no such sub-image" above the highest level the
  // Image Pac holds, so it is not started for those: on Windows each start
  // costs far more than the answer. Any other converter is asked as always.
  int highestSubImage(const std::string& input) override {
    const std::string program = platform::findProgram("convert", programFolder_);
    if (!isIn(program, programFolder_)) return ConverterRunner::highestSubImage(input);
    return pcd::highestSubImageOf(input).value_or(ConverterRunner::highestSubImage(input));
  }

 private:
  std::string programFolder_;
};

}  // namespace

std::unique_ptr<ConverterRunner> makeProcessConverterRunner(const std::string& programFolder) {
  return std::make_unique<ProcessConverterRunner>(programFolder);
}

}  // namespace quorbix
