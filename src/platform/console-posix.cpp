#include "platform/console.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <string>

#include "platform/interruption.h"

namespace quorbix::platform {
namespace {

// Back to the start of the line and erase it.
constexpr std::string_view kErase = "\r\x1b[K";

// One lock for both streams and the status line: on a terminal they are the
// same screen. Never destroyed: a stop may use it until the very end.
struct Console {
  std::timed_mutex mutex;
  int statusFd = -1;       // the duplicate of standard error, while open
  bool statusShown = false;
  std::atomic<bool> stopped{false};
};

Console& console() {
  static Console* const instance = new Console;
  return *instance;
}

void writeAll(int fd, std::string_view text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;  // nothing sensible to do when the stream is gone
    }
    done += static_cast<size_t>(n);
  }
}

// With the lock held.
void eraseShownStatus(Console& c) {
  if (!c.statusShown) return;
  writeAll(c.statusFd, kErase);
  c.statusShown = false;
}

void writeLine(int fd, std::string_view text) {
  std::string line(text);
  line += '\n';
  holdIfStopping();
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  eraseShownStatus(c);
  writeAll(fd, line);
}

// Run first when a stop begins: the status line goes, and is never drawn
// again. A writer stuck on a frozen terminal does not hold the stop up.
void eraseStatusForStop() {
  Console& c = console();
  c.stopped = true;
  std::unique_lock<std::timed_mutex> lock(c.mutex, std::chrono::milliseconds(500));
  if (lock.owns_lock()) eraseShownStatus(c);
}

}  // namespace

void printLine(std::string_view text) { writeLine(STDOUT_FILENO, text); }

void printErrorLine(std::string_view text) { writeLine(STDERR_FILENO, text); }

bool openStatusLine() {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  if (c.statusFd >= 0) return true;
  if (::isatty(STDERR_FILENO) != 1) return false;
  c.statusFd = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (c.statusFd < 0) return false;
  runFirstOnStop(eraseStatusForStop);
  return true;
}

int statusLineWidth() {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  struct winsize size {};
  if (c.statusFd < 0 || ::ioctl(c.statusFd, TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}

void showStatusLine(std::string_view text) {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  if (c.statusFd < 0 || c.stopped) return;
  // Automatic margins off while drawing: should the line still be too long
  // for the terminal (wide characters), it is cut at the edge instead of
  // wrapping onto a line the next erase would not reach.
  std::string line = "\r\x1b[?7l";
  line += text;
  line += "\x1b[K\x1b[?7h";
  writeAll(c.statusFd, line);
  c.statusShown = true;
}

void clearStatusLine() {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  if (c.statusFd >= 0) eraseShownStatus(c);
}

void closeStatusLine() {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  if (c.statusFd < 0) return;
  eraseShownStatus(c);
  ::close(c.statusFd);
  c.statusFd = -1;
}

}  // namespace quorbix::platform
