#include "pcd/extension_files.h"

#include <algorithm>
#include <optional>

#include "platform/file_system.h"
#include "platform/folder_lookup.h"
#include "platform/folder_separator.h"

namespace quorbix::pcd {

namespace {

// The folder above the one holding `path`, spelled so that a relative or a
// bare file name works too. Going up stops at the root: a file in the root,
// or in a folder there, has the root as its grandparent.
std::string grandparentFolder(const std::string& path) {
  const size_t root = platform::rootLength(path);
  const size_t slash = platform::lastFolderSeparator(path);
  if (slash == std::string::npos) return path.substr(0, root) + "..";
  if (slash < root) return path.substr(0, root);  // the file sits in the root: nothing above it
  std::string folder = path.substr(0, slash);
  while (folder.size() > root && platform::isFolderSeparator(folder.back())) folder.pop_back();
  if (folder.size() <= root) return path.substr(0, root);
  const size_t up = platform::lastFolderSeparator(folder);
  const size_t lastStart = std::max(up == std::string::npos ? 0 : up + 1, root);
  const std::string last = folder.substr(lastStart);
  if (last == "." || last == "..") return folder + platform::kFolderSeparator + "..";
  if (up == std::string::npos || up < root) return root == 0 ? std::string(".") : path.substr(0, root);
  return folder.substr(0, up);
}

std::optional<std::string> findExtensionFolder(const std::string& imagePath) {
  const size_t slash = platform::lastFolderSeparator(imagePath);
  const std::string fileName = slash == std::string::npos ? imagePath : imagePath.substr(slash + 1);
  const size_t dot = fileName.rfind('.');
  const std::string stem = dot == std::string::npos ? fileName : fileName.substr(0, dot);
  if (stem.empty() || stem == "." || stem == "..") return std::nullopt;

  std::optional<std::string> folder = platform::findEntryIgnoringCase(grandparentFolder(imagePath), "IPE");
  if (folder) folder = platform::findEntryIgnoringCase(*folder, stem);
  if (folder) folder = platform::findEntryIgnoringCase(*folder, "64BASE");
  return folder;
}

class FolderExtensionFiles : public ExtensionFiles {
 public:
  explicit FolderExtensionFiles(std::string imagePath) : imagePath_(std::move(imagePath)) {}

  std::unique_ptr<ByteSource> open(const std::string& name) const override {
    if (!isPlainExtensionFileName(name)) return nullptr;
    if (!searched_) {
      folder_ = findExtensionFolder(imagePath_);
      searched_ = true;
    }
    if (!folder_) return nullptr;
    const std::optional<std::string> path = platform::findEntryIgnoringCase(*folder_, name);
    if (!path) return nullptr;
    return FileByteSource::open(*path);  // nullptr for anything but a readable regular file
  }

 private:
  std::string imagePath_;
  mutable bool searched_ = false;
  mutable std::optional<std::string> folder_;
};

}  // namespace

bool isPlainExtensionFileName(const std::string& name) {
  if (name.empty() || name.size() > 12) return false;
  int dots = 0;
  for (char c : name) {
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    if (c == '.') {
      ++dots;
    } else if (!plain) {
      return false;
    }
  }
  return dots <= 1 && name.front() != '.';
}

std::unique_ptr<ExtensionFiles> extensionFolderOf(const std::string& imagePath) {
  return std::make_unique<FolderExtensionFiles>(imagePath);
}

}  // namespace quorbix::pcd
