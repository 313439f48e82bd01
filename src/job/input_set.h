// InputSet: the files of one run, each with its sub-folder below the input
// folder. A hash table of 512 buckets keyed by the exact path text (FNV-1a,
// case-sensitive); iteration visits the buckets in ascending order and each
// bucket's chain in insertion order, so the conversion order is fixed for a
// given set of paths but is neither discovery order nor alphabetical. The
// chains only keep that order: whether a path is in the set is looked up in
// an index of its own, so adding stays fast however long the chains grow.
// Filled by one import thread, read afterwards; not locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorbix {

class InputSet {
 public:
  static constexpr size_t kBucketCount = 512;

  struct Entry {
    std::string path;            // the key
    std::string relativeFolder;  // the value
  };

  InputSet() : chains_(kBucketCount) {}
  InputSet(const InputSet&) = delete;
  InputSet& operator=(const InputSet&) = delete;

  // Adds `path` unless it is there already; true when it was added.
  bool add(const std::string& path, const std::string& relativeFolder);
  bool contains(std::string_view path) const { return index_.count(path) != 0; }
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void clear();

  // Calls `visit(entry)` for every entry in iteration order.
  template <typename Visit>
  void forEach(Visit&& visit) const {
    for (const auto& chain : chains_) {
      for (uint32_t at : chain) visit(entries_[at]);
    }
  }

  // The bucket a path falls into (exposed for tests of the order).
  static size_t bucketOf(std::string_view path);

 private:
  std::deque<Entry> entries_;  // in the order added; never moved, so the index can view them
  std::vector<std::vector<uint32_t>> chains_;  // per bucket, positions in entries_
  std::unordered_set<std::string_view> index_;  // views of the entries' paths
};

}  // namespace quorbix
