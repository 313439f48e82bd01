#include "platform/temp_folder.h"

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

// The user's own temporary folder (%TMP%, %TEMP%, else the profile's),
// ending in "\"; "" when Windows has none.
std::string temporaryBase() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (n == 0 || n > MAX_PATH) return "";
  std::string base = narrowText(std::wstring_view(buffer, n));
  if (!base.empty() && !isPathSeparator(base.back())) base += '\\';
  return base;
}

}  // namespace

// Under the user's temporary folder, whose permissions (the user's own
// profile) the new folder inherits.
TemporaryFolder::TemporaryFolder() {
  const std::string base = temporaryBase();
  if (base.empty()) return;
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
    if (made.empty() && !taken) return;
  }
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
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
  const std::string base = temporaryBase();
  if (!base.empty()) removeLeftoversOfDeadRuns(base, kFolderPrefix, LeftoverKind::Folder);
}

}  // namespace quorbix::platform
