// The single-instance rule: one running process per product version and
// user. Taken once by the program entry and held until the process ends.
#pragma once

#include <memory>
#include <string>

namespace quorbix::platform {

class InstanceLock {
 public:
  enum class Outcome {
    Taken,         // the lock is ours
    HeldElsewhere, // another process holds it
    NoSafePlace,   // no folder only this user can own: no lock at all
  };

  // Takes the lock named `name`: an exclusive flock on "<dir>/<name>.lock".
  // dir = $XDG_RUNTIME_DIR when it is a private folder of this user, else
  // "quorbix" in the user's cache folder ($XDG_CACHE_HOME, else ~/.cache),
  // made with mode 0700. A folder that is a symbolic link, belongs to
  // someone else or is writable by group or others is never used, so no
  // other user can take or hold the lock. Returns the lock when Taken.
  static std::unique_ptr<InstanceLock> acquire(const std::string& name, Outcome& outcome);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace quorbix::platform
