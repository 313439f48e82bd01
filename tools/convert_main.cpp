// convert: the program's own outside converter. Extracts one sub-image of a
// PhotoCD file as a Targa picture in sRGB, the way quorbix starts it:
//   convert -quiet -colorspace sRGB <input>[N] <output>.tga
// It leaves a complete file at <output> or no file at all and a non-zero
// exit status: 1 when the picture has no such sub-image or cannot be read, 3
// when the picture could not be written (pcd/converter_arguments.h). A
// picture rebuilt from damaged data still exits 0 and leaves beside it
// <output>.repairs, one line saying which rows were repaired.
// Sub-image 6 (64Base) is read from the picture's extension files when the
// disc's IPE folder is found beside the Image Pac's folder.
//
// This file is the entry point for `main` (Linux); convert_main-windows.cpp
// is Windows's `wmain`.
#include "convert_program.h"
#include "platform/program_arguments.h"

int main(int argc, char** argv) {
  using namespace quorbix;
  return runConverterProgram(platform::programArguments(argc, argv), platform::startName(argc, argv));
}
