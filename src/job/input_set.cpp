#include "job/input_set.h"

namespace quorbix {

size_t InputSet::bucketOf(std::string_view path) {
  // 32-bit FNV-1a over the UTF-8 bytes.
  uint32_t hash = 2166136261u;
  for (unsigned char c : path) {
    hash ^= c;
    hash *= 16777619u;
  }
  return hash % kBucketCount;
}

bool InputSet::add(const std::string& path, const std::string& relativeFolder) {
  if (contains(path)) return false;
  chains_[bucketOf(path)].push_back(static_cast<uint32_t>(entries_.size()));
  entries_.push_back(Entry{path, relativeFolder});
  index_.insert(entries_.back().path);
  return true;
}

void InputSet::clear() {
  index_.clear();
  entries_.clear();
  for (auto& chain : chains_) chain.clear();
}

}  // namespace quorbix
