// Pausing the calling thread.
#pragma once

namespace quorbix::platform {

// Sleeps at least `milliseconds` (resumes after signals until the time is up).
void sleepMilliseconds(int milliseconds);

}  // namespace quorbix::platform
