#include "platform/key_wait.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace quorbix::platform {

struct KeyReader::Saved {
  termios mode{};
};

KeyReader::KeyReader() : saved_(std::make_unique<Saved>()) {
  int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (tty < 0) {
    fd_ = STDIN_FILENO;
    return;
  }
  fd_ = tty;
  ownsFd_ = true;
  if (::tcgetattr(tty, &saved_->mode) == 0) {
    termios raw = saved_->mode;
    // No line editing, no echo, and Ctrl-C is a key like any other, so the
    // terminal is always restored.
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    restore_ = ::tcsetattr(tty, TCSANOW, &raw) == 0;
  }
}

KeyReader::~KeyReader() {
  if (restore_) ::tcsetattr(fd_, TCSANOW, &saved_->mode);
  if (ownsFd_) ::close(fd_);
}

int KeyReader::next() {
  unsigned char byte = 0;
  for (;;) {
    ssize_t n = ::read(fd_, &byte, 1);
    if (n == 1) break;
    if (n < 0 && errno == EINTR) continue;
    return -1;
  }
  // Drop the rest of a multi-byte key (arrows, function keys).
  if (ownsFd_) ::tcflush(fd_, TCIFLUSH);
  return byte;
}

void waitForKey() {
  KeyReader keys;
  keys.next();
}

}  // namespace quorbix::platform
