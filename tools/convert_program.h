// The work of the `convert` program, for its entry points (convert_main.cpp
// with `main`, convert_main-windows.cpp with `wmain`).
#pragma once

#include <string>
#include <vector>

namespace quorbix {

// Runs the converter for its parameters (UTF-8, after the program name);
// `startName` is the name it was started by, for the usage text. Returns the
// process exit status (pcd/converter_arguments.h).
int runConverterProgram(const std::vector<std::string>& parameters, const std::string& startName);

}  // namespace quorbix
