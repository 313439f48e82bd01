#include "platform/dead_runs.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace quorbix::platform {
namespace {

// The process id in "<prefix><pid>-<anything>", or 0 for any other name.
long runIdIn(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return 0;
  long id = 0;
  size_t at = prefix.size();
  for (; at < name.size() && at < prefix.size() + 10 && name[at] >= '0' && name[at] <= '9'; ++at) {
    id = id * 10 + (name[at] - '0');
  }
  bool wellFormed = at > prefix.size() && at + 1 < name.size() && name[at] == '-';
  return wellFormed ? id : 0;
}

// A run that no longer exists. Unknown cases count as alive.
bool isDeadRun(long id) {
  return id > 0 && id != ::getpid() && ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

}  // namespace

void removeLeftoversOfDeadRuns(const std::string& folder, std::string_view prefix, LeftoverKind kind) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  const bool folders = kind == LeftoverKind::Folder;
  while (const dirent* entry = ::readdir(dir)) {
    if (!isDeadRun(runIdIn(entry->d_name, prefix))) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (st.st_uid != ::getuid()) continue;
    if (folders && S_ISDIR(st.st_mode)) {
      std::error_code ignored;
      std::filesystem::remove_all(folder + entry->d_name, ignored);  // does not follow links
    } else if (!folders && S_ISREG(st.st_mode)) {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

}  // namespace quorbix::platform
