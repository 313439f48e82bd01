#include "pcd_writer/huffman_coder.h"

#include <algorithm>
#include <queue>
#include <vector>

namespace quorbix::pcd_writer {

std::map<int, Code> buildCode(const std::map<int, uint64_t>& counts) {
  std::map<int, Code> code;
  if (counts.empty()) return code;
  std::map<int, int> lengths;
  if (counts.size() == 1) {
    lengths[counts.begin()->first] = 1;
  } else {
    // Plain Huffman on (count, group) pairs; groups hold the values below.
    using Node = std::pair<uint64_t, int>;
    std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
    std::vector<std::vector<int>> groups;
    for (const auto& [value, count] : counts) {
      groups.push_back({value});
      queue.push({count, static_cast<int>(groups.size()) - 1});
    }
    for (const auto& [value, count] : counts) lengths[value] = 0;
    while (queue.size() > 1) {
      Node a = queue.top();
      queue.pop();
      Node b = queue.top();
      queue.pop();
      std::vector<int> merged = groups[static_cast<size_t>(a.second)];
      for (int v : groups[static_cast<size_t>(b.second)]) merged.push_back(v);
      for (int v : merged) ++lengths[v];
      groups.push_back(std::move(merged));
      queue.push({a.first + b.first, static_cast<int>(groups.size()) - 1});
    }
    int longest = 0;
    for (const auto& [value, length] : lengths) longest = std::max(longest, length);
    if (longest > 16) {  // fall back to equal lengths
      int bits = 1;
      while ((size_t{1} << bits) < counts.size()) ++bits;
      for (auto& [value, length] : lengths) length = bits;
    }
  }
  std::vector<std::pair<int, int>> order;  // (length, value)
  for (const auto& [value, length] : lengths) order.push_back({length, value});
  std::sort(order.begin(), order.end());
  uint32_t next = 0;
  int previousLength = order.front().first;
  for (const auto& [length, value] : order) {
    next <<= (length - previousLength);
    previousLength = length;
    code[value] = Code{length, next};
    ++next;
  }
  return code;
}

std::string tableBytes(const std::map<int, Code>& code) {
  std::vector<std::pair<Code, int>> entries;
  for (const auto& [value, c] : code) entries.push_back({c, value});
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return a.first.length != b.first.length ? a.first.length < b.first.length : a.first.bits < b.first.bits;
  });
  std::string out;
  out.push_back(static_cast<char>(code.size() - 1));
  for (const auto& [c, value] : entries) {
    const uint32_t aligned = c.bits << (16 - c.length);
    out.push_back(static_cast<char>(c.length - 1));
    out.push_back(static_cast<char>(aligned >> 8));
    out.push_back(static_cast<char>(aligned & 0xff));
    out.push_back(static_cast<char>(static_cast<int8_t>(value)));
  }
  return out;
}

}  // namespace quorbix::pcd_writer
