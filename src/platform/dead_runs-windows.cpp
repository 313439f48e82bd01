#include "platform/dead_runs.h"

#include "platform/file_system.h"
#include "platform/tree_removal-windows.h"

namespace quorbix::platform {
namespace {

// Whether process `id` is still running. A process that cannot be opened
// for lack of rights exists (it is someone else's).
bool isRunning(DWORD id) {
  HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  ::CloseHandle(process);
  return running;
}

}  // namespace

void removeLeftoversOfDeadRuns(const std::string& folder, std::string_view prefix, LeftoverKind kind) {
  std::vector<FolderEntry> entries;
  if (!listFolder(folder, entries)) return;
  std::string base = folder;
  if (!base.empty() && !isPathSeparator(base.back())) base += '\\';
  for (const FolderEntry& entry : entries) {
    const std::string& name = entry.name;
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    size_t end = prefix.size();
    unsigned long long id = 0;
    while (end < name.size() && name[end] >= '0' && name[end] <= '9' && id < 0xFFFFFFFFull) {
      id = id * 10 + static_cast<unsigned>(name[end] - '0');
      ++end;
    }
    if (end == prefix.size() || end >= name.size() || name[end] != '-' || id > 0xFFFFFFFFull) continue;
    if (id == ::GetCurrentProcessId() || isRunning(static_cast<DWORD>(id))) continue;
    if (kind == LeftoverKind::Folder ? !entry.isFolder : (entry.isFolder || entry.isLinkToFolder)) continue;
    removeTree(base + name);
  }
}

}  // namespace quorbix::platform
