// Runs one phase of the job on a background thread and waits for its end
// (no time-out; woken on time only to run the caller's work while it
// waits). Should the system refuse a new thread, the phase runs on the
// calling thread instead, so the run still completes.
#pragma once

#include <functional>

namespace quorbix {

void runOnBackgroundThread(const std::function<void()>& body);

// The same; while it waits, the calling thread runs `whileWaiting` every
// `intervalMilliseconds` (never after the phase has ended).
void runOnBackgroundThread(const std::function<void()>& body, const std::function<void()>& whileWaiting,
                           int intervalMilliseconds);

}  // namespace quorbix
