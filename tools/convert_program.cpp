// The `convert` program's work; its description is in convert_main.cpp.
#include "convert_program.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "pcd/byte_source.h"
#include "pcd/converter_arguments.h"
#include "pcd/extension_files.h"
#include "pcd/pcd_decoder.h"
#include "pcd/targa_writer.h"

namespace quorbix {

int runConverterProgram(const std::vector<std::string>& parameters, const std::string& startName) {
  const std::optional<pcd::ConverterRequest> request = pcd::parseConverterArguments(parameters);
  if (!request) {
    std::fprintf(stderr,
                 "usage: %s -quiet -colorspace sRGB <input.pcd>[0-6] <output.tga>\n"
                 "exit status: 0 picture written, 1 no such sub-image or unreadable input,\n"
                 "             2 usage, 3 the picture could not be written\n",
                 startName.empty() ? "convert" : startName.c_str());
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

}  // namespace quorbix
