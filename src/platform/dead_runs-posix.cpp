#include "platform/dead_runs.h"

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

// Whether no process holds the entry: its lock can be had at once. Opened
// without following links; a FIFO would not block the open.
bool isUnheld(int dir, const char* name, bool folder) {
  const int flags = O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (folder ? O_DIRECTORY : 0);
  const int fd = ::openat(dir, name, flags);
  if (fd < 0) return false;
  const bool unheld = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);  // the lock goes with it
  return unheld;
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
    if (!isUnheld(::dirfd(dir), entry->d_name, folders)) continue;
    if (folders) {
      std::error_code ignored;
      std::filesystem::remove_all(folder + entry->d_name, ignored);  // does not follow links
    } else {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

intptr_t holdFolder(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY | O_NOFOLLOW);
  if (fd < 0) return kNoHold;
  if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
    ::close(fd);
    return kNoHold;
  }
  return fd;
}

void releaseFolder(intptr_t hold) {
  if (hold != kNoHold) ::close(static_cast<int>(hold));
}

}  // namespace quorbix::platform
