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
  auto& bucket = buckets_[bucketOf(path)];
  for (const Entry& entry : bucket) {
    if (entry.path == path) return false;
  }
  bucket.push_back(Entry{path, relativeFolder});
  ++size_;
  return true;
}

bool InputSet::contains(std::string_view path) const {
  for (const Entry& entry : buckets_[bucketOf(path)]) {
    if (entry.path == path) return true;
  }
  return false;
}

void InputSet::clear() {
  for (auto& bucket : buckets_) bucket.clear();
  size_ = 0;
}

}  // namespace quorbix
