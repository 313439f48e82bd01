// Where things are in a PhotoCD Image Pac, and the sizes of its resolution
// levels. The file is a sequence of 2048-byte sectors; the three small levels
// sit uncompressed at fixed sectors, the 4Base and 16Base levels are stored
// as Huffman-coded differences to the level below.
#pragma once

#include <cstddef>
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

// The Image Pack Information that follows the signature: who scanned what,
// when. Offsets are from the start of the file; text fields are ASCII,
// padded with blanks.
constexpr uint64_t kScanTimeOffset = kHeaderOffset + 13;        // big-endian seconds since 1970 (UTC)
constexpr uint64_t kMediumOffset = kHeaderOffset + 21;          // kind of original (film, print...)
constexpr uint64_t kProductTypeOffset = kHeaderOffset + 22;     // the film's product, 20 bytes
constexpr uint64_t kScannerVendorOffset = kHeaderOffset + 42;   // 20 bytes
constexpr uint64_t kScannerProductOffset = kHeaderOffset + 62;  // 16 bytes
constexpr uint64_t kScannerFirmwareOffset = kHeaderOffset + 78; // 4 bytes
constexpr uint64_t kScannerSerialOffset = kHeaderOffset + 90;   // 20 bytes
constexpr uint64_t kInformationEnd = kHeaderOffset + 110;
constexpr size_t kProductTypeLength = 20;
constexpr size_t kScannerVendorLength = 20;
constexpr size_t kScannerProductLength = 16;
constexpr size_t kScannerFirmwareLength = 4;
constexpr size_t kScannerSerialLength = 20;

// Resolution levels, smallest first. Their numbers double as the order in
// which they build on each other.
enum class Level : int { Base16 = 0, Base4 = 1, Base = 2, FourBase = 3, SixteenBase = 4, SixtyFourBase = 5 };

// The level's name as PhotoCD calls it: "Base/16", "Base/4", "Base",
// "4Base", "16Base", "64Base".
constexpr const char* levelName(Level level) {
  constexpr const char* kNames[] = {"Base/16", "Base/4", "Base", "4Base", "16Base", "64Base"};
  return kNames[static_cast<int>(level)];
}

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
