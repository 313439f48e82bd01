// Where things are in a PhotoCD Image Pac, and the sizes of its resolution
// levels. The file is a sequence of 2048-byte sectors; the three small levels
// sit uncompressed at fixed sectors, the 4Base and 16Base levels are stored
// as Huffman-coded differences to the level below.
#pragma once

#include <cstdint>

namespace quorbix::pcd {

constexpr uint64_t kSectorSize = 2048;

// The Image Pac information header.
constexpr uint64_t kHeaderOffset = 1 * kSectorSize;
constexpr char kSignature[] = "PCD_IPI";  // 7 bytes at kHeaderOffset
constexpr uint64_t kAttributeOffset = 0xe02;       // rotation and highest level
constexpr uint64_t kFourBaseStopOffset = 0xe03;    // big-endian sector number
constexpr uint64_t kSixteenBaseStopOffset = 0xe05;  // big-endian sector number
constexpr uint64_t kHeaderEnd = 0xe07;              // bytes the decoder reads

// Resolution levels, smallest first. Their numbers double as the order in
// which they build on each other.
enum class Level : int { Base16 = 0, Base4 = 1, Base = 2, FourBase = 3, SixteenBase = 4, SixtyFourBase = 5 };

constexpr int levelWidth(Level level) { return 192 << static_cast<int>(level); }
constexpr int levelHeight(Level level) { return 128 << static_cast<int>(level); }

// First sector of each uncompressed level: pairs of luma rows, each pair
// followed by one row of each chroma component at half width.
constexpr uint64_t baseLevelSector(Level level) {
  return level == Level::Base16 ? 4 : level == Level::Base4 ? 23 : 96;
}

// 4Base: Huffman tables in one sector, the coded rows after them, up to the
// 4Base stop sector of the header.
constexpr uint64_t kFourBaseTableSector = 388;
constexpr uint64_t kFourBaseDataSector = 389;
// 16Base: relative to the 4Base stop sector, tables in two sectors, then rows
// up to the 16Base stop sector.
constexpr uint64_t kSixteenBaseTableAfterStop = 12;
constexpr uint64_t kSixteenBaseDataAfterStop = 14;

}  // namespace quorbix::pcd
