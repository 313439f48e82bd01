// The table of contents of a 64Base extension, INFO.IC. Numbers are
// big-endian; offsets count bytes from the start of the file.
//   0x00  40 bytes  a name
//   0x28  2 x u16   (not needed)
//   0x2c  u32       offset of the layer descriptions
//   0x30  u32       offset of the file list
//   0x34  u32       (not needed)
//   0x38  u32       offset of the Huffman tables
// Layer descriptions: a u16 count, 1 (luma only) or 3 (luma, chroma 1,
// chroma 2), then one record per layer, each opening with its own u16 length:
//   +2 colour, +3 fill (bytes), +4 u16 width, +6 u16 height, +8 u16 first
//   coded column (in luma columns), +10 u32 pixels per coded sequence,
//   +14 u32 offset of the layer's sequence pointers, +18 (not needed).
// File list: a u16 count (1 to 10), then per file a 12-byte 8.3 name padded
// with spaces or NULs and a u32 size.
// Sequence pointers: width x height / sequence length of them, each a u16
// index into the file list and the u32 offset of the coded data there.
// Huffman tables: one per layer, one after the other, in the Image Pac's form.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pcd/byte_source.h"
#include "pcd/huffman_table.h"

namespace quorbix::pcd {

struct ExtensionSequence {
  uint16_t file = 0;    // index into ExtensionInfo::fileNames
  uint32_t offset = 0;  // where its coded data starts in that file
};

struct ExtensionLayer {
  int width = 0;           // coded pixels per row of the component
  int height = 0;          // coded rows
  int firstColumn = 0;     // in luma columns; half of it for chroma
  int sequenceLength = 0;  // pixels per coded sequence
  std::vector<ExtensionSequence> sequences;
  HuffmanTable table;
};

struct ExtensionInfo {
  std::vector<std::string> fileNames;  // without padding, each a plain name
  std::vector<ExtensionLayer> layers;  // luma first, then both chroma when coded
};

// Larger INFO.IC files are refused rather than read.
constexpr uint64_t kMaxExtensionInfoBytes = 4 * 1024 * 1024;

// Reads and checks the whole table of contents: every offset and count
// against the file, every name (only plain 8.3 names inside the folder),
// every table. Nothing when any of it is wrong.
std::optional<ExtensionInfo> parseExtensionInfo(const ByteSource& info);

}  // namespace quorbix::pcd
