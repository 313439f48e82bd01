// Reads one coded row of differences: a row of 4Base or 16Base, or a
// sequence of a 64Base extension. A sound row ends exactly where the next
// row's sync pattern begins. One that does not (a flipped bit, a zeroed
// sector, a file cut short) is read again between its start and the next
// sync pattern the reader can find, and rebuilt from what can be read: the
// codes before the damage, the codes after it counted back from the row's
// end (a flipped bit shifts them by a few pixels at most), and no difference
// at all, i.e. the level below, where neither is known.
#pragma once

#include <cstdint>
#include <vector>

#include "pcd/bit_reader.h"
#include "pcd/huffman_table.h"

namespace quorbix::pcd {

class CodedRowReader {
 public:
  // Repaired: the row or what follows it was damaged (the row may still be
  // whole, when only the next sync pattern was hit).
  enum class Outcome { Clean, Repaired };

  explicit CodedRowReader(BitReader& bits) : bits_(bits) {}

  // `bits` stands just past the row's header. Adds the row's differences to
  // row[0 .. width-1]. `reference` is a neighbouring row of the same plane
  // (width pixels), which decides where the codes of a damaged row go when
  // the damage shifted them. Afterwards the reader stands just past the
  // next row's sync pattern when syncTaken(), else at the end of the data.
  Outcome read(const HuffmanTable& table, uint8_t* row, int width, const uint8_t* reference);
  bool syncTaken() const { return syncTaken_; }
  // The row as it was before the last read: its prediction.
  const std::vector<uint8_t>& prediction() const { return saved_; }

 private:
  Outcome repair(const HuffmanTable& table, uint8_t* row, int width, const uint8_t* reference, uint64_t start);
  bool zeroBitsUntil(uint64_t end);
  bool nearSyncAt(uint64_t position);

  BitReader& bits_;
  bool syncTaken_ = false;
  std::vector<uint8_t> saved_;
  std::vector<int8_t> codes_;
};

}  // namespace quorbix::pcd
