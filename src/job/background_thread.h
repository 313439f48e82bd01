// Runs one phase of the job on a background thread and waits for its end
// (no time-out, no polling). Should the system refuse a new thread, the
// phase runs on the calling thread instead, so the run still completes.
#pragma once

#include <functional>

namespace quorbix {

void runOnBackgroundThread(const std::function<void()>& body);

}  // namespace quorbix
