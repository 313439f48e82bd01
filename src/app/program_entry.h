// The program's start: clean stops, the single-instance lock, what earlier
// runs left behind, then the driver.
#pragma once

namespace quorbix {

// Runs the program for the process's argument vector; returns the process
// exit code, which is always 0.
int programEntry(int argc, char** argv);

}  // namespace quorbix
