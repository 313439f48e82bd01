#include "platform/temp_folder.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/dead_runs.h"
#include "platform/interruption.h"
#include "platform/random_name-windows.h"
#include "platform/tree_removal-windows.h"

namespace quorbix::platform {
namespace {

constexpr std::string_view kFolderPrefix = "quorbix-";
constexpr int kAttempts = 100;

std::string withBackslash(std::string folder) {
  if (!folder.empty() && !isPathSeparator(folder.back())) folder += '\\';
  return folder;
}

std::string environmentFolder(const wchar_t* name) {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetEnvironmentVariableW(name, buffer, MAX_PATH + 1);
  return n == 0 || n > MAX_PATH ? std::string() : withBackslash(narrowText(std::wstring_view(buffer, n)));
}

// Where GetTempPathW looks, in its order: %TMP%, %TEMP%, %USERPROFILE%, the
// Windows folder; each ending in "\", those set only, each once. GetTempPathW
// itself gives the first that is set, whether or not it is there.
std::vector<std::string> temporaryBases() {
  std::vector<std::string> bases;
  wchar_t windows[MAX_PATH + 1] = {};
  const UINT n = ::GetWindowsDirectoryW(windows, MAX_PATH + 1);
  for (std::string base : {environmentFolder(L"TMP"), environmentFolder(L"TEMP"), environmentFolder(L"USERPROFILE"),
                           n == 0 || n > MAX_PATH ? std::string()
                                                  : withBackslash(narrowText(std::wstring_view(windows, n)))}) {
    if (!base.empty() && std::find(bases.begin(), bases.end(), base) == bases.end()) bases.push_back(base);
  }
  return bases;
}

}  // namespace

// Under the user's temporary folder, whose permissions (the user's own
// profile) the new folder inherits; the next place of the system's lookup
// when that one is missing or refuses.
TemporaryFolder::TemporaryFolder() {
  for (const std::string& base : temporaryBases()) {
    if (!tried_.empty()) tried_ += ", ";
    tried_ += base;
    const std::string prefix = base + std::string(kFolderPrefix) + std::to_string(::GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < kAttempts && path_.empty(); ++attempt) {
      bool taken = false;
      const std::string made = makeRemovedOnStop([&]() -> std::string {
        const std::string folder = prefix + randomName(6);
        if (::CreateDirectoryW(widePath(folder).c_str(), nullptr)) return folder;
        taken = ::GetLastError() == ERROR_ALREADY_EXISTS;
        return "";
      });
      if (!made.empty()) path_ = made + "\\";
      if (made.empty() && !taken) break;
    }
    if (!path_.empty()) {
      hold_ = holdFolder(path_);
      return;
    }
  }
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  releaseFolder(hold_);
  const std::string folder = path_.substr(0, path_.size() - 1);
  removeTree(folder);
  forgetRemovedOnStop(folder);
}

std::string TemporaryFolder::makeSubfolder(const std::string& name) const {
  if (path_.empty() || name.empty() || name.find_first_of("\\/:") != std::string::npos) return "";
  const std::string made = makeRemovedOnStop([&]() -> std::string {
    const std::string folder = path_ + name;
    return ::CreateDirectoryW(widePath(folder).c_str(), nullptr) ? folder : "";
  });
  return made.empty() ? "" : made + "\\";
}

void TemporaryFolder::removeSubfolder(const std::string& path) {
  if (path.empty()) return;
  const std::string folder = path.substr(0, path.size() - 1);
  removeTree(folder);
  forgetRemovedOnStop(folder);
}

void removeLeftoversOfEarlierRuns() {
  for (const std::string& base : temporaryBases()) removeLeftoversOfDeadRuns(base, kFolderPrefix, LeftoverKind::Folder);
}

}  // namespace quorbix::platform
