// The program's start: clean stops, the single-instance lock, what earlier
// runs left behind, then the driver.
#pragma once

#include <string>

#include "app/command_line.h"

namespace quorbix {

// Runs the program for its parameters (UTF-8, after the program name, as
// platform/program_arguments.h gives them); `startName` is the name it was
// started by (argv[0]), used only when the running executable cannot be
// found. Returns the process exit code: 0, or with --exit-codes the status
// app/exit_status.h names.
int programEntry(const Parameters& parameters, const std::string& startName);

}  // namespace quorbix
