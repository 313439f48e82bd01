#include "job/output_guard.h"

#include "platform/file_name_rules.h"
#include "platform/file_system.h"
#include "platform/folder_separator.h"
#include "platform/same_file.h"

namespace quorbix {
namespace {

std::string comparable(const std::string& path, platform::LastName lastName = platform::LastName::Kept) {
  return platform::comparablePath(platform::resolvedPath(path, lastName));
}

// Why a name of `path` after its first `from` bytes cannot be held; "".
std::string unholdableName(const std::string& path, size_t from) {
  for (size_t start = from; start < path.size();) {
    size_t end = platform::nextFolderSeparator(path, start);
    if (end == std::string::npos) end = path.size();
    const std::string_view name = std::string_view(path).substr(start, end - start);
    if (name != "." && name != "..") {
      if (std::string reason = platform::unholdableNameReason(name); !reason.empty()) return reason;
    }
    start = end + 1;
  }
  return "";
}

}  // namespace

OutputGuard::OutputGuard(const std::string& outputFolder, const InputSet& inputs)
    : outputFolder_(platform::withFolderSeparator(outputFolder)) {
  folderPrefix_ = platform::withFolderSeparator(comparable(outputFolder + platform::kFolderSeparator));
  inputs.forEach([this](const InputSet::Entry& entry) {
    // Both the name itself and, for a link, the file behind it: replacing
    // either loses the input.
    inputs_.insert(comparable(entry.path));
    inputs_.insert(comparable(entry.path, platform::LastName::Followed));
    if (std::string identity = platform::fileIdentity(entry.path); !identity.empty()) {
      inputs_.insert(std::move(identity));
    }
  });
}

std::string OutputGuard::refusal(const std::string& outputPath) const {
  const std::string& head = outputPath;
  // The names the run made up: those below the output folder, or the last.
  const bool below = !outputFolder_.empty() && outputPath.rfind(outputFolder_, 0) == 0;
  const size_t made = below ? outputFolder_.size() : platform::lastFolderSeparator(outputPath) + 1;
  if (std::string reason = unholdableName(outputPath, made); !reason.empty()) {
    return head + " cannot be written: " + reason;
  }
  const std::string where = comparable(outputPath);
  if (folderPrefix_.empty() || where.size() <= folderPrefix_.size() ||
      where.compare(0, folderPrefix_.size(), folderPrefix_) != 0) {
    return head + " is outside the output folder";
  }
  const std::string identity = platform::fileIdentity(outputPath);
  if (inputs_.count(where) != 0 || (!identity.empty() && inputs_.count(identity) != 0)) {
    return head + " is an input file of this run";
  }
  auto earlier = writtenBy_.find(where);
  if (earlier == writtenBy_.end() && !identity.empty()) earlier = writtenBy_.find(identity);
  if (earlier != writtenBy_.end()) return head + " was already written for " + earlier->second;
  return "";
}

void OutputGuard::written(const std::string& inputFile, const std::string& outputPath) {
  writtenBy_.emplace(comparable(outputPath), inputFile);
  if (std::string identity = platform::fileIdentity(outputPath); !identity.empty()) {
    writtenBy_.emplace(std::move(identity), inputFile);
  }
}

}  // namespace quorbix
