#include "job/look_ahead.h"

#include <system_error>

namespace quorbix {

LookAhead::LookAhead(PrepareOneFile prepare, int helpers) : prepare_(std::move(prepare)) {
  for (int i = 0; i < helpers; ++i) {
    try {
      helpers_.emplace_back([this] { help(); });
    } catch (const std::system_error&) {
      break;  // fewer helpers: the worker does the rest itself
    }
  }
}

LookAhead::~LookAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  for (std::thread& helper : helpers_) helper.join();
}

void LookAhead::add(const InputSet::Entry& input) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto slot = std::make_unique<Slot>();
    slot->input = &input;
    slots_.push_back(std::move(slot));
  }
  changed_.notify_one();
}

ConvertOneFile LookAhead::take() {
  std::unique_lock<std::mutex> lock(mutex_);
  Slot& slot = *slots_.front();
  ConvertOneFile second;
  if (slot.state == State::Waiting) {
    slot.state = State::Running;
    lock.unlock();
    second = prepare_(*slot.input);
    lock.lock();
  } else {
    changed_.wait(lock, [&slot] { return slot.state == State::Done; });
    second = std::move(slot.second);
  }
  slots_.pop_front();
  return second;
}

void LookAhead::help() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    Slot* next = nullptr;
    changed_.wait(lock, [this, &next] {
      for (const auto& slot : slots_) {
        if (slot->state == State::Waiting) {
          next = slot.get();
          break;
        }
      }
      return closing_ || next != nullptr;
    });
    if (closing_) return;
    next->state = State::Running;
    lock.unlock();
    ConvertOneFile second = prepare_(*next->input);
    lock.lock();
    next->second = std::move(second);
    next->state = State::Done;
    changed_.notify_all();
  }
}

}  // namespace quorbix
