// HuffmanTable: one code table of a coded level, as stored in the Image Pac:
// a byte holding the entry count minus one, then per entry the code length
// minus one, the code left-aligned in 16 bits (big-endian) and the signed
// 8-bit difference it stands for. Parsing checks every length and that no
// code is a prefix of another, so lookups can never be ambiguous.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorbix::pcd {

class HuffmanTable {
 public:
  struct Entry {
    uint8_t length = 0;  // 0: no code starts with these bits
    int8_t value = 0;
  };

  // Parses one table from at most `size` bytes at `data`. Returns the number
  // of bytes the table takes, or 0 when they do not form a valid table.
  size_t parse(const uint8_t* data, size_t size);

  // Up to kRunLength codes that fit whole in the next kRunBits bits.
  static constexpr int kRunBits = 12;
  static constexpr int kRunLength = 8;
  struct Run {
    uint8_t bits = 0;   // their lengths together
    uint8_t count = 0;  // 0: the first code is longer than kRunBits (or no code)
    int8_t values[8] = {};  // 0 past `count`: eight can always be added
  };

  bool valid() const { return !lookup_.empty(); }
  // The code at the start of `window` (the next 16 bits, first bit highest).
  Entry lookup(uint32_t window) const { return lookup_[(window & 0xffff) >> shift_]; }
  // The codes wholly inside the next kRunBits bits, first bit highest.
  const Run& run(uint32_t window) const { return runs_[window & ((1u << kRunBits) - 1)]; }
  // The same, indexed by the next kRunBits bits directly.
  const Run* runs() const { return runs_.data(); }

 private:
  std::vector<Entry> lookup_;  // 2^(longest code length) entries once parsed
  unsigned shift_ = 0;
  std::vector<Run> runs_;  // 2^kRunBits entries once parsed
};

}  // namespace quorbix::pcd
