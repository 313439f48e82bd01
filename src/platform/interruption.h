// Clean stops. While an InterruptionHandling object lives, SIGINT, SIGTERM
// and SIGHUP (Ctrl+C, kill, a closed terminal) end the run tidily: every
// converter child is ended and waited for (all at once), the run's temporary
// folder and the file being saved are removed, nothing more is printed, and the process
// ends by that same signal, so its caller sees the usual status. A second
// signal during the tidying up ends the process at once. Signals that were
// ignored when the program started stay ignored.
//
// The platform code makes everything a stop must undo through the calls
// below, so a stop finds either nothing yet or the finished item. Once a stop
// has begun, every one of these calls waits for the end of the process: a
// thread that reaches one does nothing more.
#pragma once

#include <functional>
#include <string>

namespace quorbix::platform {

class InterruptionHandling {
 public:
  // Must come before any other thread starts (they inherit the blocked
  // signals). Without a thread of its own the signals keep their usual
  // effect.
  InterruptionHandling();
  // Waits for a stop that has begun; otherwise returns at once.
  ~InterruptionHandling();
  InterruptionHandling(const InterruptionHandling&) = delete;
  InterruptionHandling& operator=(const InterruptionHandling&) = delete;
};

// A file or a folder (with everything in it) that a stop removes. `make`
// creates it and returns its path, "" when nothing was made; that is returned.
std::string makeRemovedOnStop(const std::function<std::string()>& make);
// The path is gone or kept for good: a stop leaves it alone.
void forgetRemovedOnStop(const std::string& path);

// A child process that a stop ends (SIGTERM, SIGKILL after a grace time) and
// waits for. `start` starts it and returns its process id, or -1; that is
// returned. Until forgotten, the child must stay waitable (not reaped).
long startEndedOnStop(const std::function<long()>& start);
void forgetEndedOnStop(long process);

// Returns at once, or waits for the end of the process when a stop has begun.
void holdIfStopping();

// `action` runs first when a stop begins, before the converters are ended
// (one action; a later call replaces it). It runs on the thread that does
// the stop, while every thread that reaches the calls above waits.
void runFirstOnStop(void (*action)());

}  // namespace quorbix::platform
