// Temporary places of a run: the run's private folder (mode 0700 under
// $TMPDIR or /tmp, removed with its contents when the object dies) and
// temporary sibling files that a finished file is renamed from.
#pragma once

#include <cstdio>
#include <string>

namespace quorbix::platform {

class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // Ends in "/"; empty when the folder could not be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Creates a new, empty file in the folder of `path` (so that a rename can
// replace `path` in one step), under a fresh hidden name, with the
// permissions any newly written file gets. Returns it open for reading and
// writing and sets `temporaryPath`; nullptr when it cannot be made. The
// caller closes the stream and renames or deletes the file.
std::FILE* createSiblingFile(const std::string& path, std::string& temporaryPath);

}  // namespace quorbix::platform
