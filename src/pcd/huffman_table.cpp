#include "pcd/huffman_table.h"

namespace quorbix::pcd {

size_t HuffmanTable::parse(const uint8_t* data, size_t size) {
  lookup_.clear();
  if (size < 1) return 0;
  const size_t count = static_cast<size_t>(data[0]) + 1;
  const size_t bytes = 1 + 4 * count;
  if (bytes > size) return 0;

  std::vector<Entry> table(65536);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* e = data + 1 + 4 * i;
    const unsigned length = static_cast<unsigned>(e[0]) + 1;
    if (length > 16) return 0;
    const unsigned code = static_cast<unsigned>(e[1] << 8 | e[2]);
    const unsigned span = 1u << (16 - length);
    const unsigned first = code & ~(span - 1);  // bits past the length are ignored
    for (unsigned slot = first; slot < first + span; ++slot) {
      // A filled slot means one code is a prefix of another; every slot is
      // filled at most once, so a hostile table costs at most 65536 steps.
      if (table[slot].length != 0) return 0;
      table[slot] = Entry{static_cast<uint8_t>(length), static_cast<int8_t>(e[3])};
    }
  }
  lookup_ = std::move(table);
  return bytes;
}

}  // namespace quorbix::pcd
