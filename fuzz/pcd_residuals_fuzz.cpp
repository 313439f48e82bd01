// Fuzz target for the coded levels alone, on small pictures so each run is
// quick: byte 0 picks the width, byte 1 the height, bytes 2-3 (big-endian)
// the length of the Huffman tables that follow; the rest is coded rows.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "pcd/byte_source.h"
#include "pcd/plane.h"
#include "pcd/residuals.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorbix::pcd;
  if (size < 4) return 0;
  const int width = 8 * (1 + data[0] % 32);
  const int height = 2 * (1 + data[1] % 64);
  const uint64_t tableLength = std::min<uint64_t>(size - 4, static_cast<uint64_t>(data[2] << 8 | data[3]));
  YccPicture picture{Plane(width, height), Plane(width / 2, height / 2), Plane(width / 2, height / 2)};
  for (Plane* p : {&picture.luma, &picture.chroma1, &picture.chroma2}) std::fill(p->pixels.begin(), p->pixels.end(), 128);
  const MemoryByteSource source(data, size);
  CodedLevelExtent extent;
  extent.tableBegin = 4;
  extent.tableEnd = 4 + tableLength;
  extent.dataBegin = extent.tableEnd;
  extent.dataEnd = size;
  DecodeRepairs repairs;
  addResiduals(source, extent, picture, Level::FourBase, &repairs);
  if (repairs.describe(Rotation::Quarter).size() > 4096) __builtin_trap();  // a few spans, then "and others"
  return 0;
}
