// StagedFile: writes a file under a temporary name beside its final path and
// moves it into place only when commit() succeeds, so whoever looks at the
// final path sees either nothing (or the earlier file) or the complete new
// file, never a half-written one, even if the writer dies midway. One writer
// per object; nothing throws.
#pragma once

#include <cstddef>
#include <string>

namespace quorbix::platform {

class StagedFile {
 public:
  StagedFile() = default;
  // Deletes the temporary file unless commit() succeeded.
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Creates the temporary sibling of `finalPath` (same folder). False when
  // the folder is not writable.
  bool open(const std::string& finalPath);
  bool write(const void* data, size_t length);
  // Closes the temporary file and renames it over the final path.
  bool commit();
  // Closes and deletes the temporary file (also done by the destructor).
  void abandon();

 private:
  int fd_ = -1;
  std::string finalPath_;
  std::string stagingPath_;
};

}  // namespace quorbix::platform
