#include "support/fake_converter_runner.h"

#include <FreeImage.h>

namespace quorbix::test {

bool writeTarga(const std::string& path, unsigned width, unsigned height) {
  FIBITMAP* image = FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 24);
  if (image == nullptr) return false;
  for (unsigned y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(image, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) {
      line[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(x);
      line[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(y);
      line[x * 3 + FI_RGBA_BLUE] = 0x80;
    }
  }
  bool ok = FreeImage_Save(FIF_TARGA, image, path.c_str(), TARGA_DEFAULT) != FALSE;
  FreeImage_Unload(image);
  return ok;
}

ConverterOutcome FakeConverter::run(const std::vector<std::string>& args) {
  arguments.push_back(args);
  int index = -1;
  if (args.size() == 5) {
    const std::string& source = args[3];
    size_t open = source.rfind('[');
    if (open != std::string::npos && source.back() == ']') {
      index = std::stoi(source.substr(open + 1, source.size() - open - 2));
    }
  }
  runs.push_back(index);
  events.push_back("run " + std::to_string(index));
  if (args.size() != 5) return ConverterOutcome::Ended;
  if (custom) {
    custom(index, args[4]);
    return ConverterOutcome::Ended;
  }
  auto it = pictures.find(index);
  if (it != pictures.end()) writeTarga(args[4], it->second.first, it->second.second);
  return ConverterOutcome::Ended;
}

}  // namespace quorbix::test
