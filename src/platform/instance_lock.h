// The single-instance rule: one running process per product version and
// user. Taken once by the program entry and held until the process ends.
#pragma once

#include <memory>
#include <string>

namespace quorbix::platform {

class InstanceLock {
 public:
  // Takes the lock named `name`: an exclusive flock on "<dir>/<name>.lock",
  // dir = $XDG_RUNTIME_DIR, or else a private per-user folder under /tmp.
  // Returns nothing when another process holds it or it cannot be made.
  static std::unique_ptr<InstanceLock> acquire(const std::string& name);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

 private:
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace quorbix::platform
