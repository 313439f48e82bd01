// The run's private temporary folder: mode 0700 under $TMPDIR or /tmp,
// removed with its contents when the object dies or the run is stopped. Its
// name carries the process id of its run ("quorbix-<pid>-XXXXXX"), so that
// what a run that died left behind can be told from what a running one uses.
// (Files written beside their final name: platform/staged_file.h.)
#pragma once

#include <string>

namespace quorbix::platform {

class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // Ends in a separator; empty when the folder could not be made.
  const std::string& path() const { return path_; }

  // A new folder `name` (a plain name) inside this one, ending in a separator; ""
  // when it could not be made. Safe from any thread; a stop removes it with
  // this folder.
  std::string makeSubfolder(const std::string& name) const;
  // Removes a folder makeSubfolder made, with everything in it.
  static void removeSubfolder(const std::string& path);

 private:
  std::string path_;
};

// Removes this user's temporary folders (under $TMPDIR and /tmp) of earlier
// runs whose process no longer exists. Symbolic links are never followed.
void removeLeftoversOfEarlierRuns();

}  // namespace quorbix::platform
