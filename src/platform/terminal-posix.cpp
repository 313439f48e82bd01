#include "platform/terminal.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace quorbix::platform {
namespace {

void writeRaw(const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void restoreTitle() { writeRaw("\x1b[23;0t"); }

}  // namespace

void setConsoleTitle(std::string_view title) {
  if (::isatty(STDOUT_FILENO) != 1) return;
  static bool saved = false;
  if (!saved) {
    // xterm's title stack: push now, pop at exit; terminals without it
    // ignore both sequences.
    writeRaw("\x1b[22;0t");
    std::atexit(restoreTitle);
    saved = true;
  }
  std::string safe;
  for (char c : title) {
    // Control characters would end or corrupt the escape sequence.
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) safe += c;
  }
  writeRaw("\x1b]0;" + safe + "\x07");
}

}  // namespace quorbix::platform
