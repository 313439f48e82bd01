#include "platform/console.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>

#include "platform/interruption.h"

namespace quorbix::platform {
namespace {

// One lock for both streams: on a terminal they are the same screen.
void writeLine(int fd, std::string_view text) {
  static std::mutex mutex;
  std::string line(text);
  line += '\n';
  holdIfStopping();
  std::lock_guard<std::mutex> lock(mutex);
  size_t done = 0;
  while (done < line.size()) {
    ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // nothing sensible to do when the stream is gone
    }
    done += static_cast<size_t>(n);
  }
}

}  // namespace

void printLine(std::string_view text) { writeLine(STDOUT_FILENO, text); }

void printErrorLine(std::string_view text) { writeLine(STDERR_FILENO, text); }

}  // namespace quorbix::platform
