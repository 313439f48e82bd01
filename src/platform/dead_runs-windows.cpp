#include "platform/dead_runs.h"

#include "platform/file_system.h"
#include "platform/tree_removal-windows.h"

namespace quorbix::platform {
namespace {

// Whether no process holds the entry: a run holds its folder with a handle
// that does not share writing, and its staging files with one that does not
// share deleting (platform/staged_file-windows.cpp), so opening for both
// fails with a sharing violation while the run lives. Links are not followed.
bool isUnheld(const std::string& path) {
  HANDLE handle = ::CreateFileW(widePath(path).c_str(), DELETE | FILE_WRITE_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(handle);
  return true;
}

bool isRunName(const std::string& name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  size_t end = prefix.size();
  while (end < name.size() && end < prefix.size() + 10 && name[end] >= '0' && name[end] <= '9') ++end;
  return end > prefix.size() && end + 1 < name.size() && name[end] == '-';
}

}  // namespace

void removeLeftoversOfDeadRuns(const std::string& folder, std::string_view prefix, LeftoverKind kind) {
  std::vector<FolderEntry> entries;
  if (!listFolder(folder, entries)) return;
  std::string base = folder;
  if (!base.empty() && !isPathSeparator(base.back())) base += '\\';
  for (const FolderEntry& entry : entries) {
    if (!isRunName(entry.name, prefix)) continue;
    if (kind == LeftoverKind::Folder ? !entry.isFolder : (entry.isFolder || entry.isLinkToFolder)) continue;
    if (isUnheld(base + entry.name)) removeTree(base + entry.name);
  }
}

intptr_t holdFolder(const std::string& path) {
  // Listing and deleting stay shared, so that the run's own stop can remove it.
  HANDLE handle = ::CreateFileW(widePath(path).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return handle == INVALID_HANDLE_VALUE ? kNoHold : reinterpret_cast<intptr_t>(handle);
}

void releaseFolder(intptr_t hold) {
  if (hold != kNoHold) ::CloseHandle(reinterpret_cast<HANDLE>(hold));
}

}  // namespace quorbix::platform
