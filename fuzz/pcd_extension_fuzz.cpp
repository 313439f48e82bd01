// Fuzz target for the 64Base extension alone, on a small picture (luma
// 64 x 12) so each run is quick. Input: a big-endian u32 length and that
// many bytes of INFO.IC, then the coded-data files in the order INFO.IC
// lists them, each as a u32 length and its bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "pcd/byte_source.h"
#include "pcd/extension_files.h"
#include "pcd/extension_info.h"
#include "pcd/extension_residuals.h"
#include "pcd/plane.h"

namespace {

using namespace quorbix::pcd;

class Files : public ExtensionFiles {
 public:
  std::map<std::string, std::pair<const uint8_t*, size_t>> byName;
  std::unique_ptr<ByteSource> open(const std::string& name) const override {
    const auto found = byName.find(name);
    if (found == byName.end()) return nullptr;
    return std::make_unique<MemoryByteSource>(found->second.first, found->second.second);
  }
};

// The next length-prefixed piece of the input; false when none is left.
bool nextPiece(const uint8_t*& data, size_t& size, const uint8_t*& piece, size_t& length) {
  if (size < 4) return false;
  const size_t announced = static_cast<size_t>(data[0]) << 24 | static_cast<size_t>(data[1]) << 16 |
                           static_cast<size_t>(data[2]) << 8 | data[3];
  length = std::min(announced, size - 4);
  piece = data + 4;
  data += 4 + length;
  size -= 4 + length;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const uint8_t* infoBytes = nullptr;
  size_t infoLength = 0;
  if (!nextPiece(data, size, infoBytes, infoLength)) return 0;
  const auto info = parseExtensionInfo(MemoryByteSource(infoBytes, infoLength));
  if (!info) return 0;
  Files files;
  for (const std::string& name : info->fileNames) {
    const uint8_t* piece = nullptr;
    size_t length = 0;
    if (!nextPiece(data, size, piece, length)) break;
    files.byName[name] = {piece, length};
  }
  const auto sources = openExtensionSources(*info, files);
  if (!sources) return 0;
  YccPicture picture{Plane(64, 12), Plane(32, 6), Plane(32, 6)};
  for (Plane* p : {&picture.luma, &picture.chroma1, &picture.chroma2}) std::fill(p->pixels.begin(), p->pixels.end(), 128);
  DecodeRepairs repairs;
  addExtensionResiduals(*info, *sources, picture, &repairs);
  if (repairs.describe(Rotation::Half).size() > 4096) __builtin_trap();  // a few spans, then "and others"
  return 0;
}
