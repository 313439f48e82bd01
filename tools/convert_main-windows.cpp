// Entry point of the `convert` program on Windows: `wmain`, whose arguments
// are UTF-16 as Windows split the command line (linked with -municode). The
// program itself is described in convert_main.cpp.
#include "convert_program.h"
#include "platform/program_arguments.h"

int wmain(int argc, wchar_t** argv) {
  using namespace quorbix;
  return runConverterProgram(platform::wideProgramArguments(argc, argv), platform::wideStartName(argc, argv));
}
