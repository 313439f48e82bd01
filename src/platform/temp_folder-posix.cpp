#include "platform/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#include "platform/dead_runs.h"
#include "platform/interruption.h"

namespace quorbix::platform {
namespace {

constexpr std::string_view kFolderPrefix = "quorbix-";

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

std::string madeFolder(const std::string& base) {
  std::string pattern = withSlash(base) + std::string(kFolderPrefix) + std::to_string(::getpid()) + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  std::string made = makeRemovedOnStop([&]() -> std::string {
    return ::mkdtemp(buffer.data()) == nullptr ? "" : buffer.data();  // mkdtemp makes it 0700
  });
  return made.empty() ? "" : made + "/";
}

std::vector<std::string> temporaryBases() {
  std::vector<std::string> bases;
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && tmpdir[0] == '/') bases.push_back(withSlash(tmpdir));
  if (bases.empty() || bases[0] != "/tmp/") bases.push_back("/tmp/");
  return bases;
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
  for (const std::string& base : temporaryBases()) {
    if (!tried_.empty()) tried_ += ", ";
    tried_ += base;
    // Made again when another run, starting at the same moment, took it
    // for a dead run's before it was held (and removed it).
    for (int attempt = 0; attempt < 3 && path_.empty(); ++attempt) {
      path_ = madeFolder(base);
      if (path_.empty()) break;
      hold_ = holdFolder(path_);
      struct stat st {};
      if (hold_ == kNoHold && ::lstat(path_.c_str(), &st) != 0) {
        forgetRemovedOnStop(path_.substr(0, path_.size() - 1));
        path_.clear();
      }
    }
    if (!path_.empty()) break;
  }
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  releaseFolder(hold_);
  const std::string folder = path_.substr(0, path_.size() - 1);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);  // does not follow symbolic links
  forgetRemovedOnStop(folder);
}

std::string TemporaryFolder::makeSubfolder(const std::string& name) const {
  if (path_.empty() || name.empty() || name.find('/') != std::string::npos) return "";
  // Made through the stop's list, so that a stop never races with it.
  const std::string made = makeRemovedOnStop([&]() -> std::string {
    const std::string folder = path_ + name;
    return ::mkdir(folder.c_str(), 0700) == 0 ? folder : "";
  });
  return made.empty() ? "" : made + "/";
}

void TemporaryFolder::removeSubfolder(const std::string& path) {
  if (path.empty()) return;
  const std::string folder = path.substr(0, path.size() - 1);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);  // does not follow symbolic links
  forgetRemovedOnStop(folder);
}

void removeLeftoversOfEarlierRuns() {
  for (const std::string& base : temporaryBases()) removeLeftoversOfDeadRuns(base, kFolderPrefix, LeftoverKind::Folder);
}

}  // namespace quorbix::platform
