// JobProgress: how a background phase of the job (the import, the worker)
// hands its result count to the main thread. One object per phase; its lock
// lives exactly as long as the phase.
#pragma once

#include <cstdint>
#include <mutex>

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

}  // namespace quorbix
