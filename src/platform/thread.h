// Pausing the calling thread; how many processors there are.
#pragma once

namespace quorbix::platform {

// The number of processors online now; at least 1.
int onlineProcessorCount();

// Sleeps at least `milliseconds` (resumes after signals until the time is up).
void sleepMilliseconds(int milliseconds);

}  // namespace quorbix::platform
