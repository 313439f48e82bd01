// Runs the built quorbix as a user would: a copy of the executable in a
// folder of the test's choosing (so its programFolder, and a `convert` beside
// it, are under the test's control), its own XDG_RUNTIME_DIR, XDG_CACHE_HOME
// and TMPDIR (so parallel runs, and other runs of the same user, never share
// the single-instance lock or temporary files), in a session of its own with
// no controlling terminal and the usual handling of SIGINT, SIGTERM and
// SIGHUP, the given standard input, and both output streams captured.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace quorbix::test {

struct RunOptions {
  std::string programFolder;  // folder to copy quorbix into; empty = a fresh temp folder
  std::string workingFolder;  // cwd, empty = programFolder
  std::string stdinText;      // fed to the program, then its stdin is closed
  std::vector<std::pair<std::string, std::string>> env;  // extra variables (override)
  bool withConverter = false;  // also copy the built tools' `convert` when it exists
  std::string programName = "quorbix";  // file name of the copy
  int timeoutSeconds = 120;    // the run is killed after this (exitCode -1)
  std::vector<int> ignoredSignals;  // started with these signals ignored
  // More than 0: standard output and standard error are one pseudo-terminal
  // this many columns wide (support/pty_runner.h), not its controlling
  // terminal; everything written to it lands in `out`, as the terminal
  // delivers it ("\n" as "\r\n"), and `err` stays empty.
  int terminalColumns = 0;
};

struct RunResult {
  int exitCode = -1;  // -1 when killed by a signal or not started
  int signal = 0;     // the signal that ended it (not the time limit's)
  std::string out;
  std::string err;    // standard error
  std::vector<std::string> lines;  // stdout split at "\n" (no empty last line)
  std::vector<std::string> errLines;
};

// QUORBIX_BINARY_DIR "/quorbix"
std::string builtProgram();

// The built converter (`convert`) or "" when it has not been built.
std::string builtConverter();

RunResult runQuorbix(const std::vector<std::string>& args, const RunOptions& options = {});

// A run started in the background; finish() waits for its end (up to the
// time limit) and collects what runQuorbix returns.
class RunningProgram {
 public:
  virtual ~RunningProgram() = default;
  virtual int pid() const = 0;
  virtual RunResult finish() = 0;
};

// nullptr when the program could not be started.
std::unique_ptr<RunningProgram> startQuorbix(const std::vector<std::string>& args,
                                             const RunOptions& options = {});

}  // namespace quorbix::test
