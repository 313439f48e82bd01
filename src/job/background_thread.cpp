#include "job/background_thread.h"

#include <system_error>
#include <thread>

namespace quorbix {

void runOnBackgroundThread(const std::function<void()>& body) {
  std::thread thread;
  try {
    thread = std::thread(body);
  } catch (const std::system_error&) {
    body();
    return;
  }
  thread.join();
}

}  // namespace quorbix
