// Entry point of quorbix on Windows: `wmain` (linked with -municode), whose
// `argv`, split by the C runtime's rule, is not used: the command line is
// split by the program's own (platform/program_arguments.h). The program
// entry in the library does the work.
#include "app/program_entry.h"
#include "platform/program_arguments.h"

int wmain(int, wchar_t**) {
  using namespace quorbix;
  return programEntry(platform::programArguments(0, nullptr), platform::startName(0, nullptr));
}
