#include "pcd/residuals.h"

#include <algorithm>
#include <array>
#include <vector>

#include "pcd/bit_reader.h"
#include "pcd/coded_row_set.h"
#include "pcd/huffman_table.h"

namespace quorbix::pcd {

namespace {

constexpr int kRowHeaderBits = 16;
constexpr uint64_t kMaxTableBytes = 3 * (1 + 4 * 256);

int rowField(uint32_t header) { return static_cast<int>((header >> 1) & 0x1fff); }

}  // namespace

bool addResiduals(const ByteSource& source, const CodedLevelExtent& extent, YccPicture& picture, Level level,
                  DecodeRepairs* repairs) {
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

  // Components 0, 1, 2: luma and the two chroma planes, whose rows the
  // headers count in luma rows (even ones) with kinds 0, 2 and 3.
  Plane* planes[3] = {&picture.luma, &picture.chroma1, &picture.chroma2};
  const int height = picture.luma.height;
  RowLayout layout;
  layout.headerBits = kRowHeaderBits;
  layout.placeBits = 0xfffe;
  for (size_t c = 0; c < 3; ++c) layout.counts.push_back(tables[c].valid() ? planes[c]->height : 0);
  layout.parse = [&](uint32_t header) -> std::optional<RowSlot> {
    const int kind = static_cast<int>(header >> 14);
    const int row = rowField(header);
    if (kind == 1 || (kind != 0 && row % 2 != 0)) return std::nullopt;
    return RowSlot{kind == 0 ? 0 : kind - 1, kind == 0 ? row : row / 2};
  };
  layout.header = [](const RowSlot& slot) {
    const uint32_t kind = slot.component == 0 ? 0 : static_cast<uint32_t>(slot.component + 1);
    const uint32_t row = static_cast<uint32_t>(slot.component == 0 ? slot.index : 2 * slot.index);
    return kind << 14 | row << 1;
  };
  layout.target = [&](const RowSlot& slot) {
    Plane& plane = *planes[slot.component];
    const int neighbour = slot.index > 0 ? slot.index - 1 : std::min(1, plane.height - 1);
    return RowTarget{&tables[static_cast<size_t>(slot.component)], plane.row(slot.index), plane.width,
                     plane.row(neighbour)};
  };
  layout.isEnd = [height](uint32_t header) { return rowField(header) == height; };

  CodedRowSet rows(std::move(layout));
  BitReader bits(source, extent.dataBegin, extent.dataEnd);
  rows.read(bits);
  // Not one luma row read soundly (no row is there at all), or, with the
  // data there up to its end, not even half of them: these are not the
  // tables the rows were written with (a damaged table sector still parses
  // as some table, whose codes fit only rows without detail). The level
  // cannot be had.
  const std::vector<int> unsoundLuma = rows.unsound(0);
  const size_t sound = static_cast<size_t>(planes[0]->height) - unsoundLuma.size();
  if (sound == 0 || (rows.endSeen() && 2 * sound < static_cast<size_t>(planes[0]->height))) {
    rows.restoreRepairedRows();
    return false;
  }

  // Every luma row should have been there. A chroma component with no row
  // at all was not coded, when the data reached its end header; when it
  // did not, its rows may have been in the part that is missing. A chroma
  // row covers two luma rows.
  if (repairs != nullptr) {
    for (int y : unsoundLuma) repairs->addRows(level, y, y);
    for (int c = 1; c < 3; ++c) {
      if (!rows.anyRead(c) && rows.endSeen()) continue;
      for (int y : rows.unsound(c)) repairs->addRows(level, 2 * y, 2 * y + 1);
    }
  }
  return true;
}

}  // namespace quorbix::pcd
