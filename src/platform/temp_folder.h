// Temporary places of a run: the run's private folder (mode 0700 under
// $TMPDIR or /tmp, removed with its contents when the object dies or the run
// is stopped) and temporary sibling files that a finished file is renamed
// from (removed by a stop too). Their names carry the process id of their
// run ("quorbix-<pid>-XXXXXX", ".quorbix-tmp-<pid>-XXXXXXXX"), so that what
// a run that died left behind can be told from what a running one uses.
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

// Removes this user's temporary folders (under $TMPDIR and /tmp) of earlier
// runs whose process no longer exists. Symbolic links are never followed.
void removeLeftoversOfEarlierRuns();

// Creates a new, empty file in the folder of `path` (so that a rename can
// replace `path` in one step), under a fresh hidden name, with the
// permissions any newly written file gets. Returns it open for reading and
// writing and sets `temporaryPath`; nullptr when it cannot be made. The
// caller closes the stream and hands the file to finishSiblingFile. The
// first call for a folder in a run removes this user's sibling files that
// runs which died left there.
std::FILE* createSiblingFile(const std::string& path, std::string& temporaryPath);

// Renames the closed `temporaryPath` to `path` when `keep`; deletes it
// otherwise or when the rename fails. True when `path` is the new file.
bool finishSiblingFile(const std::string& temporaryPath, const std::string& path, bool keep);

}  // namespace quorbix::platform
