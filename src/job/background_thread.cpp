#include "job/background_thread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace quorbix {

void runOnBackgroundThread(const std::function<void()>& body) { runOnBackgroundThread(body, {}, 0); }

void runOnBackgroundThread(const std::function<void()>& body, const std::function<void()>& whileWaiting,
                           int intervalMilliseconds) {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::thread thread;
  try {
    thread = std::thread([&] {
      body();
      std::lock_guard<std::mutex> hold(mutex);
      done = true;
      ended.notify_one();
    });
  } catch (const std::system_error&) {
    body();
    return;
  }
  if (whileWaiting) {
    const auto interval = std::chrono::milliseconds(intervalMilliseconds);
    std::unique_lock<std::mutex> hold(mutex);
    while (!ended.wait_for(hold, interval, [&] { return done; })) {
      hold.unlock();
      whileWaiting();
      hold.lock();
    }
  }
  thread.join();
}

}  // namespace quorbix
