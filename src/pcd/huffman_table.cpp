#include "pcd/huffman_table.h"

#include <algorithm>

namespace quorbix::pcd {

size_t HuffmanTable::parse(const uint8_t* data, size_t size) {
  lookup_.clear();
  runs_.clear();
  if (size < 1) return 0;
  const size_t count = static_cast<size_t>(data[0]) + 1;
  const size_t bytes = 1 + 4 * count;
  if (bytes > size) return 0;

  // The lookup table has one slot per pattern of the longest code's length.
  unsigned longest = 1;
  for (size_t i = 0; i < count; ++i) {
    const unsigned length = static_cast<unsigned>(data[1 + 4 * i]) + 1;
    if (length > 16) return 0;
    longest = std::max(longest, length);
  }
  std::vector<Entry> table(size_t{1} << longest);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = data + 1 + 4 * i;
    const unsigned length = static_cast<unsigned>(e[0]) + 1;
    const unsigned code = static_cast<unsigned>(e[1] << 8 | e[2]) >> (16 - length);  // bits past the length are ignored
    const unsigned span = 1u << (longest - length);
    const unsigned first = code << (longest - length);
    for (unsigned slot = first; slot < first + span; ++slot) {
      // A filled slot means one code is a prefix of another; every slot is
      // filled at most once, so a hostile table costs at most 65536 steps.
      if (table[slot].length != 0) return 0;
      table[slot] = Entry{static_cast<uint8_t>(length), static_cast<int8_t>(e[3])};
    }
  }
  shift_ = 16 - longest;
  lookup_ = std::move(table);

  // Several short codes at a time: each pattern of kRunBits bits, decoded
  // for as long as the codes end inside it.
  runs_.assign(size_t{1} << kRunBits, Run{});
  for (uint32_t pattern = 0; pattern < runs_.size(); ++pattern) {
    Run& run = runs_[pattern];
    int used = 0;
    while (run.count < kRunLength) {
      const uint32_t window = (pattern << used << (16 - kRunBits)) & 0xffff;  // known bits, left-aligned
      const Entry entry = lookup(window);
      if (entry.length == 0 || used + entry.length > kRunBits) break;
      run.values[run.count++] = entry.value;
      used += entry.length;
    }
    run.bits = static_cast<uint8_t>(used);
  }
  return bytes;
}

}  // namespace quorbix::pcd
