#include "job/input_import.h"

#include <algorithm>

#include "base/ascii_text.h"
#include "base/file_names.h"
#include "job/background_thread.h"
#include "job/job_progress.h"
#include "job/list_file.h"
#include "platform/file_system.h"
#include "platform/folder_separator.h"
#include "platform/random_access_file.h"

namespace quorbix {
namespace {

// List files are read in pieces of this size.
constexpr size_t kListFilePiece = size_t{1} << 16;

std::string withTrailingSlash(std::string folder) {
  if (folder.empty() || !platform::isFolderSeparator(folder.back())) folder += platform::kFolderSeparator;
  return folder;
}

}  // namespace

int32_t InputImporter::addInputFile(const std::string& path, const std::string& relativeFolder) {
  std::string extension = lowerAscii(extensionOf(path));
  if (std::find(accepted_.begin(), accepted_.end(), extension) == accepted_.end()) return 0;
  // Only regular files with content: FIFOs, devices and empty files are never opened.
  platform::PathInfo info = platform::pathInfo(path);
  if (info.kind != platform::PathKind::File || info.size == 0) return 0;
  if (!inputs_.add(path, relativeFolder)) return 0;
  if (found_ != nullptr) found_->fetch_add(1, std::memory_order_relaxed);
  return 1;
}

// The sub-folder of `folder` below the input folder. Taken as a prefix, not
// by removing every occurrence of the input folder's text, so that a
// sub-folder repeating the input folder's name keeps its full place.
std::string InputImporter::relativeFolderOf(const std::string& folder) const {
  if (inputFolder_.empty() || folder.rfind(inputFolder_, 0) != 0) return "";
  return folder.substr(inputFolder_.size());
}

int32_t InputImporter::scanFolder(const std::string& folder) {
  std::vector<platform::FolderEntry> entries;
  if (!platform::listFolder(folder, entries)) return 0;
  const std::string relative = relativeFolderOf(folder);
  int32_t count = 0;
  for (const auto& entry : entries) {
    if (entry.isFolder) {
      count += scanFolder(withTrailingSlash(folder + entry.name));
    } else if (!entry.isLinkToFolder) {
      count += addInputFile(folder + entry.name, relative);
    }
  }
  return count;
}

int32_t InputImporter::importListFile(const std::string& listFile) {
  auto file = platform::RandomAccessFile::open(listFile);
  if (file == nullptr || file->size() > kMaxListFileBytes) return 0;
  int32_t count = 0;
  ListFileReader reader([&](std::string_view line) { count += importListLine(std::string(line)); });
  std::vector<char> piece(kListFilePiece);
  for (uint64_t offset = 0; offset < file->size();) {
    const size_t length = static_cast<size_t>(std::min<uint64_t>(piece.size(), file->size() - offset));
    if (!file->readAt(offset, piece.data(), length)) break;
    reader.feed(std::string_view(piece.data(), length));
    offset += length;
  }
  reader.finish();
  return count;
}

int32_t InputImporter::importListLine(const std::string& line) {
  // A path already taken is a file that would only be refused again.
  if (inputs_.contains(line)) return 0;
  platform::PathInfo info = platform::pathInfo(line);
  if (info.kind == platform::PathKind::Missing) return 0;
  if (info.kind == platform::PathKind::Folder) return scanFolder(withTrailingSlash(line));
  return addInputFile(line);
}

bool isListFile(const std::string& inputFile) {
  std::string extension = lowerAscii(extensionOf(inputFile));
  return extension == "txt" || extension == "lst";
}

int32_t importInputs(const std::string& inputFolder, const std::string& inputFile,
                     const std::vector<std::string>& acceptedExtensions, InputSet& inputs,
                     std::atomic<int32_t>* found, const std::function<void()>& whileWaiting) {
  InputImporter importer(acceptedExtensions, inputs, inputFolder);
  importer.countInto(found);
  if (inputFolder.empty() && !isListFile(inputFile)) return importer.addInputFile(inputFile);

  JobProgress progress;
  runOnBackgroundThread([&] {
    int32_t count = inputFolder.empty() ? importer.importListFile(inputFile)
                                        : importer.scanFolder(inputFolder);
    progress.add(count);
  }, whileWaiting, 100);
  return progress.resultCount();
}

}  // namespace quorbix
