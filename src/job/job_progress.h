// JobProgress: how a background phase of the job (the import, the worker)
// hands its result count to the main thread. One object per phase; its lock
// lives exactly as long as the phase. LiveCounts: how far a phase is, for the
// status line; the background thread counts, the main thread reads at will.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace quorbix {

class JobProgress {
 public:
  void add(int32_t count) {
    std::lock_guard<std::mutex> hold(lock_);
    resultCount_ += count;
  }
  void set(int32_t count) {
    std::lock_guard<std::mutex> hold(lock_);
    resultCount_ = count;
  }
  int32_t resultCount() {
    std::lock_guard<std::mutex> hold(lock_);
    return resultCount_;
  }

 private:
  std::mutex lock_;
  int32_t resultCount_ = 0;
};

struct LiveCounts {
  std::atomic<int32_t> found{0};      // the import's files so far
  std::atomic<int32_t> converted{0};  // the conversion's files saved so far
  std::atomic<int32_t> failed{0};     // and not converted so far
  // The path of the file in work; it lives as long as the phase.
  std::atomic<const std::string*> current{nullptr};
};

}  // namespace quorbix
