// Entry point of quorbix on Windows: `wmain`, whose arguments are UTF-16 as
// Windows split the command line (linked with -municode). The program entry
// in the library does the work.
#include "app/program_entry.h"
#include "platform/program_arguments.h"

int wmain(int argc, wchar_t** argv) {
  using namespace quorbix;
  return programEntry(platform::wideProgramArguments(argc, argv), platform::wideStartName(argc, argv));
}
