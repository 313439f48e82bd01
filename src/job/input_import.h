// The import phase: collects the files of the run into the InputSet from a
// folder tree, a list file (".txt"/".lst") or a single file. A file is
// accepted when it is not empty and its lower-cased extension is one of the
// accepted input extensions. Nothing is reported per file: unreadable
// folders, missing list entries and rejected files are skipped silently.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "job/input_set.h"

namespace quorbix {

// List files larger than this (2 GiB) are not read.
inline constexpr uint64_t kMaxListFileBytes = uint64_t{1} << 31;

class InputImporter {
 public:
  // `inputFolder` is the run's input folder (absolute, ending in a separator), or
  // empty for list-file and single-file input; files keep their sub-folder
  // below it as their relative folder.
  InputImporter(const std::vector<std::string>& acceptedExtensions, InputSet& inputs,
                std::string inputFolder)
      : accepted_(acceptedExtensions), inputs_(inputs), inputFolder_(std::move(inputFolder)) {}

  // Every accepted file also counts in `found` from now on (none: nullptr).
  void countInto(std::atomic<int32_t>* found) { found_ = found; }

  // 1 when `path` (an existing file) was accepted and is new to the set.
  int32_t addInputFile(const std::string& path, const std::string& relativeFolder = "");

  // Files added from `folder` (ending in a separator) and all its sub-folders.
  // Symbolic links to folders are not followed, so link cycles cannot
  // recurse forever; links to files are taken as those files.
  int32_t scanFolder(const std::string& folder);

  // Files added from every line of the list file; 0 when it cannot be
  // opened or is larger than kMaxListFileBytes. The file is read in pieces
  // and each line is taken as it comes; should reading fail part-way, the
  // lines before stay taken.
  int32_t importListFile(const std::string& listFile);

 private:
  int32_t importListLine(const std::string& line);
  std::string relativeFolderOf(const std::string& folder) const;

  const std::vector<std::string>& accepted_;
  InputSet& inputs_;
  std::string inputFolder_;
  std::atomic<int32_t>* found_ = nullptr;
};

// True when `inputFile` names a list file (extension "txt" or "lst", any case).
bool isListFile(const std::string& inputFile);

// The whole import for an input folder (non-empty `inputFolder`) or an input
// file: the folder and list-file kinds run on a background thread that
// hands its count over through a JobProgress; meanwhile the calling thread
// runs `whileWaiting` (if given) every 100 ms, while `found` (if given)
// counts the files accepted so far. Returns the number of files added.
int32_t importInputs(const std::string& inputFolder, const std::string& inputFile,
                     const std::vector<std::string>& acceptedExtensions, InputSet& inputs,
                     std::atomic<int32_t>* found = nullptr, const std::function<void()>& whileWaiting = {});

}  // namespace quorbix
