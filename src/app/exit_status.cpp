#include "app/exit_status.h"

namespace quorbix {

ExitStatus exitStatusOf(const JobResult& result) {
  if (!result.started) return kExitStoppedBeforeConverting;
  if (result.tally.converted == 0) return kExitNoneConverted;
  return result.tally.failed == 0 ? kExitAllConverted : kExitSomeConverted;
}

}  // namespace quorbix
