#include "job/output_guard.h"

#include "platform/file_system.h"
#include "platform/folder_separator.h"

namespace quorbix {

OutputGuard::OutputGuard(const std::string& outputFolder, const InputSet& inputs) {
  folderPrefix_ = platform::withFolderSeparator(platform::resolvedPath(outputFolder + platform::kFolderSeparator));
  inputs.forEach([this](const InputSet::Entry& entry) {
    // Both the name itself and, for a link, the file behind it: replacing
    // either loses the input.
    inputs_.insert(platform::resolvedPath(entry.path));
    inputs_.insert(platform::resolvedPath(entry.path, platform::LastName::Followed));
  });
}

std::string OutputGuard::refusal(const std::string& outputPath) const {
  const std::string where = platform::resolvedPath(outputPath);
  const std::string& head = outputPath;
  if (folderPrefix_.empty() || where.size() <= folderPrefix_.size() ||
      where.compare(0, folderPrefix_.size(), folderPrefix_) != 0) {
    return head + " is outside the output folder";
  }
  if (inputs_.count(where) != 0) return head + " is an input file of this run";
  if (auto earlier = writtenBy_.find(where); earlier != writtenBy_.end()) {
    return head + " was already written for " + earlier->second;
  }
  return "";
}

void OutputGuard::written(const std::string& inputFile, const std::string& outputPath) {
  writtenBy_.emplace(platform::resolvedPath(outputPath), inputFile);
}

}  // namespace quorbix
