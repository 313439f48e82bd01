// The exit statuses of --exit-codes. Without that option the program ends
// with 0 whatever happened, as scripts written for it expect; a signal that
// stops a run ends it with 128 + the signal's number either way.
#pragma once

#include "job/conversion_job.h"

namespace quorbix {

enum ExitStatus : int {
  kExitAllConverted = 0,          // every file found was converted (a disc's companions aside)
  kExitSomeConverted = 1,         // some were converted, some not
  kExitNoneConverted = 2,         // none was, or no input file was found
  kExitStoppedBeforeConverting = 3,  // an option, a folder, a profile or the report file was wrong
  kExitAnotherRunActive = 4,      // another run of this user was active: nothing was done
};

// The status --exit-codes gives for a run that got as far as the job.
ExitStatus exitStatusOf(const JobResult& result);

}  // namespace quorbix
