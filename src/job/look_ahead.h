// LookAhead: runs the first stage of the next files on helper threads while
// the worker finishes the current one. Files are added in input order and
// taken back in that order; a file no helper has begun when it is taken is
// done on the taking thread, so with no helpers (or none the system would
// start) everything simply happens there. add() and take() belong to the
// worker thread; the helpers only run first stages.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "job/conversion_worker.h"

namespace quorbix {

class LookAhead {
 public:
  LookAhead(PrepareOneFile prepare, int helpers);
  // Stops the helpers once their current file is done, and waits for them.
  ~LookAhead();
  LookAhead(const LookAhead&) = delete;
  LookAhead& operator=(const LookAhead&) = delete;

  // `input` stays where it is until its file is taken.
  void add(const InputSet::Entry& input);
  // The oldest added file's second stage, once its first stage is done.
  ConvertOneFile take();

 private:
  enum class State { Waiting, Running, Done };
  struct Slot {
    const InputSet::Entry* input;
    State state = State::Waiting;
    ConvertOneFile second;
  };
  void help();

  PrepareOneFile prepare_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::unique_ptr<Slot>> slots_;  // oldest first; a slot leaves only when done
  bool closing_ = false;
  std::vector<std::thread> helpers_;
};

}  // namespace quorbix
