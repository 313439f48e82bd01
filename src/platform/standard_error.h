// Catching what code run in this process writes on standard error itself,
// for libraries that print there with no hook to catch them.
#pragma once

#include <functional>
#include <string>

namespace quorbix::platform {

// Runs `work` with the process's standard error diverted and returns what
// was written there meanwhile (at most 64 KiB of it). Only while no other
// thread writes there. When standard error cannot be diverted, `work` runs
// with it as it is (better its output on the console than no work) and
// nothing is returned.
std::string runCatchingStandardError(const std::function<void()>& work);

}  // namespace quorbix::platform
