// Damage as discs and downloads do it, repeatably: flipped bits, whole
// sectors read as zeros, a file cut short. Every kind stays inside a byte
// range of the file, so a test can aim it at one coded level, a table
// sector or an extension file's data, and the same seed always damages the
// same bytes (std::mt19937_64 is the same everywhere; the draws avoid the
// standard distributions, whose results differ between libraries).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pcd/pcd_layout.h"

namespace quorbix::pcd_writer {

// Bytes begin .. end-1 of a file.
struct ByteRange {
  uint64_t begin = 0;
  uint64_t end = 0;
};

enum class DamageKind { FlipBits, ZeroSectors, Cut };

struct Damage {
  DamageKind kind = DamageKind::FlipBits;
  int count = 1;          // bits flipped or sectors zeroed
  double fraction = 1.0;  // a cut keeps range.begin + fraction * (range.end - range.begin) bytes
  uint32_t seed = 1;      // where the bits and sectors fall
  ByteRange range;
};

// Flips `count` distinct bits of `file` inside `range` (fewer when the
// range is smaller).
void flipBits(std::string& file, ByteRange range, int count, uint32_t seed);

// Zeroes `count` distinct 2048-byte sectors of the file (sector n is bytes
// n * 2048 onwards) that meet `range`, only their bytes inside the range.
void zeroSectors(std::string& file, ByteRange range, int count, uint32_t seed);

// Cuts the file at `fraction` (0..1) of `range`.
void cutFile(std::string& file, ByteRange range, double fraction);

// The file with `damage` done to it.
std::string damaged(std::string file, const Damage& damage);

// "5 flipped bits", "2 zeroed sectors", "cut at 70%".
std::string describe(const Damage& damage);

// Where an Image Pac's coded data lies, from its header, each range ending
// early when the file does: the coded part (from the first 4Base row, sector
// 389, to the end of the top coded level's stop sector), and the table
// sectors and the rows of 4Base or 16Base. Nothing when the bytes are no
// Image Pac or the header holds no such level.
std::optional<ByteRange> codedPart(const std::string& imagePac);
std::optional<ByteRange> codedTables(const std::string& imagePac, pcd::Level level);
std::optional<ByteRange> codedRows(const std::string& imagePac, pcd::Level level);

}  // namespace quorbix::pcd_writer
