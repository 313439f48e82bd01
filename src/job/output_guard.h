// OutputGuard: keeps the files of one run from harming each other or
// anything outside the output folder. Before a file is saved it tells
// whether its output path may be written: the names it adds below the
// output folder must be names the file system can hold (on Windows no ":",
// no device name, ...), the path must lead (through ".",
// ".." and links to folders) into the output folder, must not be an input
// file of the run, and must not have been written by an earlier file of the
// run. Paths are compared as the file system compares them (on Windows
// without regard to letter case) and, where a file is there, by the file
// they reach (platform/same_file.h). Files that were there before the run
// may be replaced. Used by the worker thread only; writes no file.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "job/input_set.h"

namespace quorbix {

class OutputGuard {
 public:
  // `outputFolder` ends in a separator; every file of `inputs` is looked up now.
  OutputGuard(const std::string& outputFolder, const InputSet& inputs);

  // "" when `outputPath` may be written; otherwise why not, naming the
  // files.
  std::string refusal(const std::string& outputPath) const;

  // Notes that `outputPath` now holds the picture of `inputFile`.
  void written(const std::string& inputFile, const std::string& outputPath);

 private:
  std::string outputFolder_;  // as given, with its separator
  std::string folderPrefix_;  // the resolved output folder with its separator, comparable
  std::unordered_set<std::string> inputs_;  // comparable resolved paths, the names kept and followed; identities
  std::unordered_map<std::string, std::string> writtenBy_;  // comparable resolved output or identity -> input
};

}  // namespace quorbix
