// The Linux side of platform/dead_runs.h that a run's own entries need.
#pragma once

#include <string>

namespace quorbix::platform {

// Holds the entry this run just made at `path` and opened as `fd` (a shared
// lock), waiting while another run looks at it; false when that run took it
// for a dead run's and removed it meanwhile, so that a new one is to be made.
bool holdMadeEntry(int fd, const std::string& path);

}  // namespace quorbix::platform
