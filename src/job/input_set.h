// InputSet: the files of one run, each with its sub-folder below the input
// folder. A hash table of 512 buckets keyed by the exact path text (FNV-1a,
// case-sensitive); iteration visits the buckets in ascending order and each
// bucket's chain in insertion order, so the conversion order is fixed for a
// given set of paths but is neither discovery order nor alphabetical.
// Filled by one import thread, read afterwards; not locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorbix {

class InputSet {
 public:
  static constexpr size_t kBucketCount = 512;

  struct Entry {
    std::string path;            // the key
    std::string relativeFolder;  // the value
  };

  InputSet() : buckets_(kBucketCount) {}

  // Adds `path` unless it is there already; true when it was added.
  bool add(const std::string& path, const std::string& relativeFolder);
  bool contains(std::string_view path) const;
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear();

  // Calls `visit(entry)` for every entry in iteration order.
  template <typename Visit>
  void forEach(Visit&& visit) const {
    for (const auto& bucket : buckets_) {
      for (const Entry& entry : bucket) visit(entry);
    }
  }

  // The bucket a path falls into (exposed for tests of the order).
  static size_t bucketOf(std::string_view path);

 private:
  std::vector<std::vector<Entry>> buckets_;
  size_t size_ = 0;
};

}  // namespace quorbix
