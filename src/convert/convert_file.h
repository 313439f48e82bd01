// convertFile: turns file.inputFile into one saved output file, through
// the outside converter (or FreeImage's PhotoCD loader as a fallback), the
// image operations, the output depth and an atomic save. Runs on the worker
// thread, one file at a time; prints nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "convert/run_context.h"
#include "image/format_registry.h"
#include "settings/settings.h"

namespace quorbix {

// What a converter run says beyond the file it leaves.
enum class ConverterOutcome {
  Ended,         // only the file it left (or did not leave) counts
  CannotWrite,   // our own converter decoded the picture but could not write
                 // it: no lower level will fare better
};

// How the outside converter is started and how the pipeline pauses; tests
// give their own.
class ConverterRunner {
 public:
  virtual ~ConverterRunner() = default;
  // Runs the converter with these arguments (argv[1..]) and waits for it.
  virtual ConverterOutcome run(const std::vector<std::string>& arguments) = 0;
  // Pauses the calling thread (30 ms between converter runs).
  virtual void pause(int milliseconds) = 0;
};

struct ConvertContext {
  const Settings& settings;
  const RunContext& run;
  FileState& file;  // this file's; the conversion fills in what it settles
  const FormatRegistry& registry;
  ConverterRunner& converter;
  std::string temporaryFolder;  // private to the run, ends in "/"
  // Asked with the output path just before saving; false fails the file and
  // nothing is written. Empty: every path is accepted.
  std::function<bool(const std::string& outputPath)> acceptOutput = {};
};

// True when the output file was saved; sets file.outputPath.
bool convertFile(ConvertContext& context);

}  // namespace quorbix
