// FileOutcome: what became of one input file, from where it was decided to
// the console lines and the run report: converted, failed or skipped, why
// (for every file that was not converted), the warnings, and what was
// written. Made by the conversion of the file; read by the worker.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "pcd/image_pac_facts.h"

namespace quorbix {

enum class FileStatus {
  Converted,     // the output was written
  Failed,        // nothing was written; `reason` says why
  Companion,     // a disc's companion file that holds no picture: skipped, no failure
  AlreadyThere,  // --skip-existing found the output there and left it: counts as converted
};

struct FileOutcome {
  FileOutcome() = default;
  // Only whether it worked, for stand-in conversions that know no more.
  FileOutcome(bool converted) : status(converted ? FileStatus::Converted : FileStatus::Failed) {}  // NOLINT

  FileStatus status = FileStatus::Failed;
  std::string reason;                 // for every status but Converted
  std::vector<std::string> warnings;  // things the user should know about a written picture
  // The output could not be written for want of room (a full disk or quota,
  // a read-only file system): no later file would fare better.
  bool noRoomToWrite = false;
  // Of the saved picture (Converted): its size, and the PhotoCD level it
  // came from when that is known ("16Base").
  int width = 0;
  int height = 0;
  std::optional<std::string> level;
  pcd::ImagePacFacts facts;  // what the Image Pac tells beyond the pixels, when read

  // Counts as converted: in the summary, for the counters, for exit codes.
  bool converted() const { return status == FileStatus::Converted || status == FileStatus::AlreadyThere; }
  explicit operator bool() const { return converted(); }

  static FileOutcome failed(std::string reason) {
    FileOutcome outcome;
    outcome.reason = std::move(reason);
    return outcome;
  }
};

}  // namespace quorbix
