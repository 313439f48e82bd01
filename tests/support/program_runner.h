// Runs the built quorbix as a user would: a copy of the executable in a
// folder of the test's choosing (so its programFolder, and a `convert` beside
// it, are under the test's control), its own XDG_RUNTIME_DIR (so parallel
// runs never share the single-instance lock), no controlling terminal, the
// given standard input, and standard output and standard error captured.
#pragma once

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
};

struct RunResult {
  int exitCode = -1;  // -1 when killed by a signal or not started
  std::string out;
  std::vector<std::string> lines;  // stdout split at "\n" (no empty last line)
  std::string err;                 // stderr
  std::vector<std::string> errLines;
};

// QUORBIX_BINARY_DIR "/quorbix"
std::string builtProgram();

// The built converter (`convert`) or "" when it has not been built.
std::string builtConverter();

RunResult runQuorbix(const std::vector<std::string>& args, const RunOptions& options = {});

}  // namespace quorbix::test
