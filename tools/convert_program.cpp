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
#include "platform/file_stream.h"
#include "platform/file_system.h"

namespace quorbix {

namespace {

// The note of what was repaired, beside the picture; false when it cannot be
// written.
bool writeRepairsNote(const std::string& path, const std::string& text) {
  std::FILE* file = platform::openForWriting(path);
  if (file == nullptr) return false;
  const bool written = std::fputs((text + "\n").c_str(), file) >= 0;
  return std::fclose(file) == 0 && written;
}

}  // namespace

int runConverterProgram(const std::vector<std::string>& parameters, const std::string& startName) {
  const std::optional<pcd::ConverterRequest> request = pcd::parseConverterArguments(parameters);
  if (!request) {
    std::fprintf(stderr,
                 "usage: %s [-pcd-tone DISPLAY|FULLRANGE] -quiet -colorspace sRGB <input.pcd>[0-6] <output.tga>\n"
                 "exit status: 0 picture written, 1 no such sub-image or unreadable input,\n"
                 "             2 usage, 3 the picture could not be written\n"
                 "A picture rebuilt from damaged data is written with status 0, and beside it\n"
                 "<output.tga>.repairs says in one line which rows were repaired.\n",
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
  pcd::DecodeRepairs repairs;
  const pcd::DecodeStatus status =
      pcd::decodeStored(*source, request->subImage, picture, rotation, extension.get(), &repairs);
  if (status != pcd::DecodeStatus::Ok) {
    std::fprintf(stderr, "convert: %s[%d]: %s\n", request->input.c_str(), request->subImage, pcd::describe(status));
    return pcd::kExitNoPicture;
  }
  // The note goes first: whoever sees the picture finds the note with it.
  const std::string notePath = request->output + pcd::kRepairsSuffix;
  platform::deleteFile(notePath);
  if (!repairs.empty()) {
    const std::string note = repairs.describe(rotation);
    std::fprintf(stderr, "convert: %s[%d]: repaired damaged data: %s\n", request->input.c_str(), request->subImage,
                 note.c_str());
    if (!writeRepairsNote(notePath, note)) {
      platform::deleteFile(notePath);
      std::fprintf(stderr, "convert: cannot write %s\n", notePath.c_str());
      return pcd::kExitCannotWrite;
    }
  }
  if (!pcd::writeTarga(picture, rotation, request->output, request->tone)) {
    platform::deleteFile(notePath);
    std::fprintf(stderr, "convert: cannot write %s\n", request->output.c_str());
    return pcd::kExitCannotWrite;
  }
  return 0;
}

}  // namespace quorbix
