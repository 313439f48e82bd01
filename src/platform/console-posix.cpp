#include "platform/console.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>

namespace quorbix::platform {

void printLine(std::string_view text) {
  static std::mutex mutex;
  std::string line(text);
  line += '\n';
  std::lock_guard<std::mutex> lock(mutex);
  size_t done = 0;
  while (done < line.size()) {
    ssize_t n = ::write(STDOUT_FILENO, line.data() + done, line.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // nothing sensible to do when stdout is gone
    }
    done += static_cast<size_t>(n);
  }
}

}  // namespace quorbix::platform
