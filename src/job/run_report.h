// RunReport: the run's report (--report=FILE), in JSON Lines: one object
// per input file found, in the run's order, each line written and flushed
// as its file finishes, so that a run stopped midway leaves whole lines.
// Opened by the job on the main thread before the conversion; add() is
// called from the worker's thread only.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "base/outcome.h"
#include "convert/file_outcome.h"
#include "convert/run_context.h"

namespace quorbix {

class RunReport {
 public:
  // Creates `path`, or empties it; says why when it cannot.
  Outcome open(const std::string& path);
  bool isOpen() const { return file_ != nullptr; }

  // The line of `file`: its input and output paths, the outcome, and for a
  // written file its size, level, digest and Image Pac facts.
  void add(const FileState& file, const FileOutcome& outcome);

 private:
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_{nullptr, std::fclose};
};

// The line add() writes, without its line end.
std::string reportLine(const FileState& file, const FileOutcome& outcome, const std::string& sha256);

}  // namespace quorbix
