#include "pcd/huffman_table.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace quorbix::pcd {
namespace {

// Entry bytes: length - 1, code (left-aligned, big-endian), value.
std::vector<uint8_t> table(std::initializer_list<std::array<int, 3>> entries) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(entries.size() - 1)};
  for (const auto& [length, code, value] : entries) {
    const unsigned aligned = static_cast<unsigned>(code) << (16 - length);
    bytes.push_back(static_cast<uint8_t>(length - 1));
    bytes.push_back(static_cast<uint8_t>(aligned >> 8));
    bytes.push_back(static_cast<uint8_t>(aligned & 0xff));
    bytes.push_back(static_cast<uint8_t>(static_cast<int8_t>(value)));
  }
  return bytes;
}

TEST(HuffmanTable, LooksUpEveryCodeWhateverFollowsIt) {
  // 0 -> 0, 10 -> +1, 110 -> -1, 1110 -> +5, 1111 (16 bits long) -> -128
  const auto bytes = table({{{1, 0b0, 0}}, {{2, 0b10, 1}}, {{3, 0b110, -1}}, {{4, 0b1110, 5}}, {{16, 0xffff, -128}}});
  HuffmanTable t;
  ASSERT_EQ(t.parse(bytes.data(), bytes.size()), bytes.size());
  EXPECT_EQ(t.lookup(0x0000).length, 1);
  EXPECT_EQ(t.lookup(0x7fff).value, 0);
  EXPECT_EQ(t.lookup(0xbfff).length, 2);
  EXPECT_EQ(t.lookup(0x8000).value, 1);
  EXPECT_EQ(t.lookup(0xc123).value, -1);
  EXPECT_EQ(t.lookup(0xe000).value, 5);
  EXPECT_EQ(t.lookup(0xffff).length, 16);
  EXPECT_EQ(t.lookup(0xffff).value, -128);
  // 1111 followed by anything but all ones is no code at all.
  EXPECT_EQ(t.lookup(0xfffe).length, 0);
  EXPECT_EQ(t.lookup(0xf000).length, 0);
}

TEST(HuffmanTable, RejectsMalformedTables) {
  HuffmanTable t;
  // A code that is a prefix of another.
  auto prefix = table({{{1, 0b0, 0}}, {{2, 0b01, 1}}});
  EXPECT_EQ(t.parse(prefix.data(), prefix.size()), 0u);
  EXPECT_FALSE(t.valid());
  // The same code twice.
  auto twice = table({{{3, 0b101, 0}}, {{3, 0b101, 1}}});
  EXPECT_EQ(t.parse(twice.data(), twice.size()), 0u);
  // A code longer than 16 bits.
  auto longCode = table({{{1, 0, 0}}});
  longCode[1] = 16;  // length 17
  EXPECT_EQ(t.parse(longCode.data(), longCode.size()), 0u);
  // Fewer bytes than the entry count promises.
  auto cut = table({{{1, 0, 0}}, {{2, 0b10, 1}}});
  EXPECT_EQ(t.parse(cut.data(), cut.size() - 1), 0u);
  EXPECT_EQ(t.parse(cut.data(), 0), 0u);
}

TEST(HuffmanTable, ReportsItsSizeSoTablesCanFollowEachOther) {
  auto first = table({{{1, 0, 0}}, {{1, 1, 7}}});
  auto second = table({{{1, 0, 0}}});
  std::vector<uint8_t> both = first;
  both.insert(both.end(), second.begin(), second.end());
  HuffmanTable a, b;
  const size_t used = a.parse(both.data(), both.size());
  ASSERT_EQ(used, first.size());
  EXPECT_EQ(b.parse(both.data() + used, both.size() - used), second.size());
  EXPECT_EQ(a.lookup(0x8000).value, 7);
}

}  // namespace
}  // namespace quorbix::pcd
