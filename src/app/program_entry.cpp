#include "app/program_entry.h"

#include "app/driver.h"
#include "app/exit_status.h"
#include "base/file_names.h"
#include "base/product.h"
#include "platform/console.h"
#include "platform/instance_lock.h"
#include "platform/interruption.h"
#include "platform/program_folder.h"
#include "platform/temp_folder.h"

namespace quorbix {
namespace {

// The executable's own file name without folder and extension; the name it
// was started by when the running executable cannot be found.
std::string ownProgramName(const std::string& startName) {
  std::string path = platform::executablePath();
  if (path.empty()) path = startName;
  std::string name = fileNamePart(path);
  return nameWithoutExtension(name);
}

}  // namespace

int programEntry(const Parameters& parameters, const std::string& startName) {
  // First, before any other thread exists: clean stops on SIGINT, SIGTERM
  // and SIGHUP.
  platform::InterruptionHandling interruptions;
  // A second instance of the same version ends at once, with one line on
  // standard error and nothing on standard output. Without a safe place for
  // the lock the run goes on, unguarded.
  platform::InstanceLock::Outcome outcome;
  auto lock = platform::InstanceLock::acquire(product::kConsoleTitle, outcome);
  if (outcome == platform::InstanceLock::Outcome::HeldElsewhere) {
    platform::printErrorLine("Another run of this program is active for this user: nothing was done");
    return exitCodesAsked(parameters) ? kExitAnotherRunActive : 0;
  }
  if (outcome == platform::InstanceLock::Outcome::NoSafePlace) {
    platform::printErrorLine("Warning: No private folder for the instance lock, running without it");
  }
  // What runs that died left behind; folders of running ones are kept.
  platform::removeLeftoversOfEarlierRuns();
  // Whether the driver returned or finished, the run ends with 0 unless
  // --exit-codes asks for more.
  return runDriver(parameters, ownProgramName(startName)).exitStatus;
}

}  // namespace quorbix
