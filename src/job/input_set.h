// InputSet: the files of one run, each with its sub-folder below the input
// folder. Whether a path is in the set is decided as the file system
// decides it (platform/same_file.h): by the file it reaches where there is
// one, else by its text as the system compares names, through an index of
// its own, so adding stays fast however many files there are. Visits go in name order (base/path_order.h) whatever the
// order the files were added in: the first visit after an add sorts the
// entries once, which is cheaper than keeping them sorted while a folder tree
// of many files is read. Filled by one import thread, read afterwards; not
// locked, so visits must not overlap with adds or with each other.
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
  struct Entry {
    std::string path;            // the key
    std::string relativeFolder;  // the value
  };

  InputSet() = default;
  InputSet(const InputSet&) = delete;
  InputSet& operator=(const InputSet&) = delete;

  // Adds `path` unless it or another path to its file is there already;
  // true when it was added.
  bool add(const std::string& path, const std::string& relativeFolder);
  bool contains(const std::string& path) const { return index_.count(fileKey(path)) != 0; }
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void clear();

  // Calls `visit(entry)` for every entry, in name order.
  template <typename Visit>
  void forEach(Visit&& visit) const {
    if (order_.size() != entries_.size()) putInOrder();
    for (const Sorted& sorted : order_) visit(*sorted.entry);
  }

 private:
  // An entry with the first bytes of its path as a number (base/path_order.h).
  struct Sorted {
    uint64_t key;
    const Entry* entry;
  };

  void putInOrder() const;
  static std::string fileKey(const std::string& path);

  std::deque<Entry> entries_;  // in the order added; never moved, so order_ can point at them
  std::unordered_set<std::string> index_;  // the entries' fileKey
  mutable std::vector<Sorted> order_;           // the entries in name order, once visited
};

}  // namespace quorbix
