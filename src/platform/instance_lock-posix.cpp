#include "platform/instance_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace quorbix::platform {
namespace {

std::string withoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// An open descriptor of `path` when it is a folder that only this user can
// write to: a real folder (not a link), owned by us, no group or other write
// access; -1 otherwise. Later steps work through the descriptor, so the
// folder checked is the folder used.
int openPrivateFolder(const std::string& path) {
  int fd = ::open(withoutTrailingSlashes(path).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr || found->pw_dir[0] != '/') {
    return "";
  }
  return found->pw_dir;
}

int lockFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') {
    int fd = openPrivateFolder(runtime);
    if (fd >= 0) return fd;
  }
  std::string cache;
  const char* cacheHome = std::getenv("XDG_CACHE_HOME");
  if (cacheHome != nullptr && cacheHome[0] == '/') {
    cache = cacheHome;
  } else {
    std::string home = homeFolder();
    if (home.empty()) return -1;
    cache = withoutTrailingSlashes(home) + "/.cache";
  }
  // Made when missing, as any program using the cache folder would; an
  // existing folder is used only when it passes the check.
  ::mkdir(cache.c_str(), 0700);
  const std::string folder = withoutTrailingSlashes(cache) + "/quorbix";
  ::mkdir(folder.c_str(), 0700);
  return openPrivateFolder(folder);
}

}  // namespace

std::unique_ptr<InstanceLock> InstanceLock::acquire(const std::string& name, Outcome& outcome) {
  outcome = Outcome::NoSafePlace;
  int folder = lockFolder();
  if (folder < 0) return nullptr;
  // Close-on-exec: the outside converter must not inherit (and so keep) it.
  const std::string file = name + ".lock";
  int fd = ::openat(folder, file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  ::close(folder);
  if (fd < 0) return nullptr;
  int result;
  while ((result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
  }
  if (result != 0) {
    outcome = errno == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::NoSafePlace;
    ::close(fd);
    return nullptr;
  }
  outcome = Outcome::Taken;
  return std::unique_ptr<InstanceLock>(new InstanceLock(fd));
}

InstanceLock::~InstanceLock() { ::close(fd_); }

}  // namespace quorbix::platform
