// BitReader: reads a byte range of a ByteSource as a stream of bits, first
// bit highest, fetching it in chunks so a coded level is never held whole.
// Past the end it delivers zero bits and remembers that it ran over. It can
// go back to a place it passed, for the decoder's second look at a damaged
// row.
#pragma once

#include <cstdint>
#include <vector>

#include "pcd/byte_source.h"
#include "pcd/huffman_table.h"

namespace quorbix::pcd {

// A pixel plus a coded difference, clamped to 0..255.
inline uint8_t addClamped(uint8_t pixel, int difference) {
  const int value = pixel + difference;
  return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

class BitReader {
 public:
  BitReader(const ByteSource& source, uint64_t begin, uint64_t end);

  // The next `count` bits (1..32) without consuming them.
  uint32_t peek(int count) {
    if (held_ < count) refill();
    return static_cast<uint32_t>(buffer_ >> (64 - count));
  }
  void skip(int count) {
    if (held_ < count) refill();
    buffer_ <<= count;
    held_ -= count;
    if (static_cast<uint64_t>(count) > remaining_) {
      remaining_ = 0;
      overrun_ = true;
    } else {
      remaining_ -= static_cast<uint64_t>(count);
    }
  }
  // The sync pattern that opens every coded row: 23 one bits and a zero.
  static constexpr uint32_t kSync = 0xfffffe;
  static constexpr int kSyncBits = 24;

  // Moves just past the next sync pattern (23 one bits and a zero) that is
  // followed by at least `headerBits` more bits; false when there is none.
  bool findSync(int headerBits);

  // Decodes `width` codes with `table` and adds their values to `row`,
  // clamped to 0..255. False at a bit pattern that is no code or when the
  // range ends first.
  bool addCodedRow(const HuffmanTable& table, uint8_t* row, int width);

  // Bits of the range not consumed yet.
  uint64_t remaining() const { return remaining_; }
  // Bits consumed from the start of the range, and the range's size in bits.
  uint64_t position() const { return totalBits_ - remaining_; }
  uint64_t size() const { return totalBits_; }
  // Goes to bit `position` of the range (at most size()); what was read past
  // it is read again. Forgets an overrun, not a failed read.
  void seek(uint64_t position);
  // True once more bits were consumed than the range holds, or a read failed.
  bool overrun() const { return overrun_; }

 private:
  void refill();

  const ByteSource& source_;
  uint64_t begin_;
  uint64_t next_;  // source offset of the next chunk
  uint64_t end_;
  std::vector<uint8_t> chunk_;
  size_t chunkPos_ = 0;
  size_t chunkLength_ = 0;
  uint64_t buffer_ = 0;  // held bits, first bit at the top
  int held_ = 0;
  uint64_t totalBits_;
  uint64_t remaining_;
  bool overrun_ = false;
  bool readFailed_ = false;
};

}  // namespace quorbix::pcd
