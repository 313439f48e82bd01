// What a stop undoes, kept for the operating system's own stop code (the
// signal thread, the console control handler); the rest of the program
// reaches it through platform/interruption.h. The mutex is held while an
// item is made or forgotten; a stop takes it and never gives it back, so
// from then on nothing new is made and every thread that comes there waits
// for the end of the process. Never destroyed: the stop code may use it
// until the very end.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace quorbix::platform {

struct StopRegistry {
  std::mutex mutex;
  std::vector<std::string> paths;  // removed in the reverse order of making
  std::vector<long> children;      // process ids, ended and waited for
};

// Begins the stop: takes the registry for good and runs the action given to
// runFirstOnStop. What is to be undone is returned.
StopRegistry& beginStop();

}  // namespace quorbix::platform
