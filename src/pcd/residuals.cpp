#include "pcd/residuals.h"

#include <algorithm>
#include <array>
#include <vector>

#include "pcd/bit_reader.h"
#include "pcd/huffman_table.h"

namespace quorbix::pcd {

namespace {

constexpr int kRowHeaderBits = 16;
constexpr uint64_t kMaxTableBytes = 3 * (1 + 4 * 256);

struct Component {
  Plane* plane = nullptr;
  const HuffmanTable* table = nullptr;
  std::vector<bool> seen;
  int rowsSeen = 0;
};

}  // namespace

bool addResiduals(const ByteSource& source, const CodedLevelExtent& extent, YccPicture& picture) {
  if (extent.tableEnd <= extent.tableBegin || extent.dataEnd <= extent.dataBegin) return false;
  const uint64_t tableBytes = std::min(extent.tableEnd - extent.tableBegin, kMaxTableBytes);
  std::vector<uint8_t> tableData(static_cast<size_t>(tableBytes));
  if (!source.read(extent.tableBegin, tableData.data(), tableData.size())) return false;

  std::array<HuffmanTable, 3> tables;
  size_t offset = 0;
  for (HuffmanTable& table : tables) {
    const size_t used = table.parse(tableData.data() + offset, tableData.size() - offset);
    if (used == 0) break;  // the chroma tables may be missing
    offset += used;
  }
  if (!tables[0].valid()) return false;

  std::array<Component, 3> components;
  Plane* planes[3] = {&picture.luma, &picture.chroma1, &picture.chroma2};
  for (size_t i = 0; i < 3; ++i) {
    components[i].plane = planes[i];
    components[i].table = tables[i].valid() ? &tables[i] : nullptr;
    components[i].seen.assign(static_cast<size_t>(planes[i]->height), false);
  }

  const int height = picture.luma.height;
  BitReader bits(source, extent.dataBegin, extent.dataEnd);
  while (bits.findSync(kRowHeaderBits)) {
    const uint32_t header = bits.peek(kRowHeaderBits);
    bits.skip(kRowHeaderBits);
    const int kind = static_cast<int>(header >> 14);
    const int row = static_cast<int>((header >> 1) & 0x1fff);
    if (row == height) break;  // end of the coded rows
    if (row > height || kind == 1) return false;

    Component& component = components[kind == 0 ? 0 : kind - 1];
    const int y = kind == 0 ? row : row / 2;
    if ((kind != 0 && row % 2 != 0) || component.table == nullptr ||
        y >= component.plane->height || component.seen[static_cast<size_t>(y)]) {
      return false;
    }
    component.seen[static_cast<size_t>(y)] = true;
    ++component.rowsSeen;
    if (!bits.addCodedRow(*component.table, component.plane->row(y), component.plane->width)) return false;
  }

  if (components[0].rowsSeen != picture.luma.height) return false;
  for (size_t i = 1; i < 3; ++i) {
    if (components[i].rowsSeen != 0 && components[i].rowsSeen != components[i].plane->height) return false;
  }
  return true;
}

}  // namespace quorbix::pcd
