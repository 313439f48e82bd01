// Entry point of quorbix for `main` (Linux); main-windows.cpp is Windows's
// `wmain`. The program entry in the library does the work.
#include "app/program_entry.h"
#include "platform/program_arguments.h"

int main(int argc, char** argv) {
  using namespace quorbix;
  return programEntry(platform::programArguments(argc, argv), platform::startName(argc, argv));
}
