#include "platform/thread.h"

#include <time.h>

#include <cerrno>

namespace quorbix::platform {

void sleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  struct timespec left {};
  left.tv_sec = milliseconds / 1000;
  left.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace quorbix::platform
