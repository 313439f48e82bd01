// OutputGuard: keeps the files of one run from harming each other or
// anything outside the output folder. Before a file is saved it tells
// whether its output path may be written: the path must lead (through ".",
// ".." and links to folders) into the output folder, must not be an input
// file of the run, and must not have been written by an earlier file of the
// run. Files that were there before the run may be replaced. Used by the
// worker thread only; touches no file.
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
  std::string folderPrefix_;  // the resolved output folder with its separator
  std::unordered_set<std::string> inputs_;  // resolved, the names kept and followed
  std::unordered_map<std::string, std::string> writtenBy_;  // resolved output -> input
};

}  // namespace quorbix
