// Entry point of quorbix; the program entry in the library does the work.
#include "app/program_entry.h"

int main(int argc, char** argv) { return quorbix::programEntry(argc, argv); }
