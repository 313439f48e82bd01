#include "platform/thread.h"

#include <time.h>
#include <unistd.h>

#include <cerrno>

namespace quorbix::platform {

int onlineProcessorCount() {
  const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
  return count < 1 ? 1 : count > 4096 ? 4096 : static_cast<int>(count);
}

void sleepMilliseconds(int milliseconds) {
  if (milliseconds <= 0) return;
  struct timespec left {};
  left.tv_sec = milliseconds / 1000;
  left.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (::nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

}  // namespace quorbix::platform
