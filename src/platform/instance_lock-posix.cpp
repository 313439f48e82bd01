#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace quorbix::platform {
namespace {

// A folder that only this user can write to, so nobody else can hold or
// replace the lock file: a real folder (not a link), owned by us, no group
// or other write access.
bool isPrivateFolder(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string lockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/' && isPrivateFolder(runtime)) return runtime;
  // Always under /tmp (not $TMPDIR), so every process of this user finds
  // the same lock.
  std::string folder = "/tmp/quorbix-" + std::to_string(::getuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "";
  return isPrivateFolder(folder) ? folder : "";
}

}  // namespace

std::unique_ptr<InstanceLock> InstanceLock::acquire(const std::string& name) {
  std::string folder = lockFolder();
  if (folder.empty()) return nullptr;
  if (folder.back() != '/') folder += '/';
  const std::string path = folder + name + ".lock";
  // Close-on-exec: the outside converter must not inherit (and so keep) it.
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return nullptr;
  int result;
  while ((result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (result != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock() { ::close(fd_); }

}  // namespace quorbix::platform
