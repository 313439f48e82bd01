#include "job/input_set.h"

#include <algorithm>

#include "base/path_order.h"
#include "platform/folder_separator.h"
#include "platform/same_file.h"

namespace quorbix {
namespace {

// How many bytes all the paths start with. The paths of a run mostly share
// a long start (the input folder); the sort keys are taken after it, so that
// they tell most paths apart.
size_t sharedStart(const std::deque<InputSet::Entry>& entries) {
  if (entries.empty()) return 0;
  const std::string& first = entries.front().path;
  size_t shared = first.size();
  for (const InputSet::Entry& entry : entries) {
    const size_t upTo = std::min(shared, entry.path.size());
    shared = static_cast<size_t>(std::mismatch(first.data(), first.data() + upTo, entry.path.data()).first -
                                 first.data());
  }
  return shared;
}

// Sorts [begin, end), whose keys are taken `from` bytes into the paths and
// whose paths all start with the same `shared` bytes: by key first, then
// each run of equal keys again by the next eight bytes, so that the paths
// themselves are read once per round rather than at every comparison. A run
// whose paths all end within its key is sorted by the whole comparison.
template <typename Sorted>
void sortFrom(Sorted* begin, Sorted* end, size_t from, size_t shared) {
  std::sort(begin, end, [](const Sorted& a, const Sorted& b) { return a.key < b.key; });
  for (Sorted* run = begin; run != end;) {
    Sorted* runEnd = run + 1;
    while (runEnd != end && runEnd->key == run->key) ++runEnd;
    if (runEnd - run > 1) {
      const size_t next = from + 8;
      if (std::any_of(run, runEnd, [next](const Sorted& s) { return s.entry->path.size() > next; })) {
        for (Sorted* at = run; at != runEnd; ++at) {
          at->key = pathOrderKey(at->entry->path, next, platform::kFolderSeparator);
        }
        sortFrom(run, runEnd, next, shared);
      } else {
        std::sort(run, runEnd, [shared](const Sorted& a, const Sorted& b) {
          return comparePathsByName(std::string_view(a.entry->path).substr(shared),
                                    std::string_view(b.entry->path).substr(shared), platform::kFolderSeparator) < 0;
        });
      }
    }
    run = runEnd;
  }
}

}  // namespace

std::string InputSet::fileKey(const std::string& path) {
  std::string identity = platform::fileIdentity(path);
  return identity.empty() ? platform::comparablePath(path) : identity;
}

bool InputSet::add(const std::string& path, const std::string& relativeFolder) {
  if (!index_.insert(fileKey(path)).second) return false;
  entries_.push_back(Entry{path, relativeFolder});
  return true;
}

void InputSet::clear() {
  index_.clear();
  order_.clear();
  entries_.clear();
}

void InputSet::putInOrder() const {
  const size_t shared = sharedStart(entries_);
  order_.clear();
  order_.reserve(entries_.size());
  for (const Entry& entry : entries_) {
    order_.push_back(Sorted{pathOrderKey(entry.path, shared, platform::kFolderSeparator), &entry});
  }
  // No two entries have the same path, so the order is total: the same set
  // is always visited the same way.
  sortFrom(order_.data(), order_.data() + order_.size(), shared, shared);
}

}  // namespace quorbix
