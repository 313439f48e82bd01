#include "platform/dead_runs.h"

#include "platform/dead_runs-posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace quorbix::platform {
namespace {

// Whether `name` is "<prefix><digits>-<anything>".
bool isRunName(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return false;
  size_t at = prefix.size();
  while (at < name.size() && at < prefix.size() + 10 && name[at] >= '0' && name[at] <= '9') ++at;
  return at > prefix.size() && at + 1 < name.size() && name[at] == '-';
}

// The entry opened with its lock, when no process holds it: the lock can be
// had at once. Opened without following links; a FIFO would not block the
// open. -1 when it is held or cannot be opened.
int lockedIfUnheld(int dir, const char* name, bool folder) {
  const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (folder ? O_DIRECTORY : 0);
  const int fd = ::openat(dir, name, flags);
  if (fd < 0) return -1;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Whether `fd` is still the entry at `path`: a run that held it only after
// another run locked it finds it removed.
bool isStillAt(int fd, const std::string& path) {
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

}  // namespace

void removeLeftoversOfDeadRuns(const std::string& folder, std::string_view prefix, LeftoverKind kind) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const bool folders = kind == LeftoverKind::Folder;
  while (const dirent* entry = ::readdir(dir)) {
    if (!isRunName(entry->d_name, prefix)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (st.st_uid != ::getuid()) continue;
    if (folders ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode)) continue;
    // Removed while locked: a run that makes the entry and holds it just
    // then waits, and then finds it gone (isStillAt).
    const int locked = lockedIfUnheld(::dirfd(dir), entry->d_name, folders);
    if (locked < 0) continue;
    if (folders) {
      std::error_code ignored;
      std::filesystem::remove_all(folder + entry->d_name, ignored);  // does not follow links
    } else {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::close(locked);
  }
  ::closedir(dir);
}

intptr_t holdFolder(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY | O_NOFOLLOW);
  if (fd < 0) return kNoHold;
  // Waits while another run looks at it, and then makes sure that run did
  // not remove it meanwhile.
  if (!holdMadeEntry(fd, path)) {
    ::close(fd);
    return kNoHold;
  }
  return fd;
}

bool holdMadeEntry(int fd, const std::string& path) {
  int locked;
  do {
    locked = ::flock(fd, LOCK_SH);
  } while (locked != 0 && errno == EINTR);
  // Where the file system has no locks no run can tell it held either, nor
  // remove it for a dead run's.
  return isStillAt(fd, path);
}

void releaseFolder(intptr_t hold) {
  if (hold != kNoHold) ::close(static_cast<int>(hold));
}

}  // namespace quorbix::platform
