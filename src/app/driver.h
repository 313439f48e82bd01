// The command-line driver: everything from the first parameter to the end of
// the run (special first parameters, the option loop, the error answer, the
// banner, the conversion job, the pause). Main thread only; owns the run's
// Settings, FormatRegistry and MessageCatalogue for the length of the run.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"
#include "image/format_registry.h"

namespace quorbix {

enum class DriverEnd {
  Returned,  // no parameters, or no input option: nothing was done
  Finished,  // an answer was given or the job ran; the process ends
};

struct DriverResult {
  DriverEnd end = DriverEnd::Finished;
  int exitStatus = 0;  // 0 unless --exit-codes asks for more (app/exit_status.h)
};

// `programName` is the executable's own file name without folder and
// extension (the help's usage lines show it).
DriverResult runDriver(const Parameters& parameters, const std::string& programName);

// Whether the options ask for --exit-codes (read as a run would read them,
// profiles included), for a run that ends before it reads them itself.
bool exitCodesAsked(const Parameters& parameters);

// The help screen's lines for `programName`, with the formats of `registry`.
std::vector<std::string> helpLines(const std::string& programName, const FormatRegistry& registry);

// The banner printed before a job: title and version, ownership notice,
// web address, and a line holding one space.
std::vector<std::string> bannerLines();

}  // namespace quorbix
