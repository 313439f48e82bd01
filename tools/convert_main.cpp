// convert: the program's own outside converter. Extracts one sub-image of a
// PhotoCD file as a Targa picture in sRGB, the way quorbix starts it:
//   convert -quiet -colorspace sRGB <input>[N] <output>.tga
// It leaves a complete file at <output> or no file at all and a non-zero
// exit status: 1 when the picture has no such sub-image or cannot be read, 3
// when the picture could not be written (pcd/converter_arguments.h).
// Sub-image 6 (64Base) is read from the picture's extension files when the
// disc's IPE folder is found beside the Image Pac's folder.
#include <cstdio>
#include <cstring>
#include <string>

#include "pcd/byte_source.h"
#include "pcd/extension_files.h"
#include "pcd/pcd_decoder.h"
#include "pcd/targa_writer.h"
#include "pcd/converter_arguments.h"

int main(int argc, char** argv) {
  using namespace quorbix;
  const std::optional<pcd::ConverterRequest> request = pcd::parseConverterArguments(argc, argv);
  if (!request) {
    std::fprintf(stderr,
                 "usage: %s -quiet -colorspace sRGB <input.pcd>[0-6] <output.tga>\n"
                 "exit status: 0 picture written, 1 no such sub-image or unreadable input,\n"
                 "             2 usage, 3 the picture could not be written\n",
                 argc > 0 ? argv[0] : "convert");
    return pcd::kExitUsage;
  }
  auto source = pcd::FileByteSource::open(request->input);
  if (!source) {
    std::fprintf(stderr, "convert: cannot read %s\n", request->input.c_str());
    return pcd::kExitNoPicture;
  }
  std::unique_ptr<pcd::ExtensionFiles> extension;
  if (request->subImage == 6) extension = pcd::extensionFolderOf(request->input);
  pcd::YccPicture picture;
  pcd::Rotation rotation = pcd::Rotation::None;
  const pcd::DecodeStatus status = pcd::decodeStored(*source, request->subImage, picture, rotation, extension.get());
  if (status != pcd::DecodeStatus::Ok) {
    std::fprintf(stderr, "convert: %s[%d]: %s\n", request->input.c_str(), request->subImage, pcd::describe(status));
    return pcd::kExitNoPicture;
  }
  if (!pcd::writeTarga(picture, rotation, request->output)) {
    std::fprintf(stderr, "convert: cannot write %s\n", request->output.c_str());
    return pcd::kExitCannotWrite;
  }
  return 0;
}
