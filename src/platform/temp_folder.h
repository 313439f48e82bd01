// The run's private temporary folder: mode 0700 under $TMPDIR or /tmp (on
// Windows under the first of %TMP%, %TEMP%, %USERPROFILE% and the Windows
// folder that takes it), removed with its contents when the object dies or
// the run is stopped. Its
// name is "quorbix-<pid>-XXXXXX", and it is held while it exists, so that
// what a run that died left behind can be told from what a running one uses
// (platform/dead_runs.h).
// (Files written beside their final name: platform/staged_file.h.)
#pragma once

#include <cstdint>
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
  // The folders it was tried in, in order, separated by ", " (for the error
  // line when path() is empty).
  const std::string& triedIn() const { return tried_; }

  // A new folder `name` (a plain name) inside this one, ending in a separator; ""
  // when it could not be made. Safe from any thread; a stop removes it with
  // this folder.
  std::string makeSubfolder(const std::string& name) const;
  // Removes a folder makeSubfolder made, with everything in it.
  static void removeSubfolder(const std::string& path);

 private:
  std::string path_;
  std::string tried_;
  intptr_t hold_ = -1;  // platform/dead_runs.h
};

// Removes this user's temporary folders (under every place above) of earlier
// runs that no longer hold them. Symbolic links are never followed.
void removeLeftoversOfEarlierRuns();

}  // namespace quorbix::platform
