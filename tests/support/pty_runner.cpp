#include "support/pty_runner.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quorbix::test {

PseudoTerminal openPseudoTerminal(int columns) {
  PseudoTerminal terminal;
  int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0) return terminal;
  const char* name = nullptr;
  if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || (name = ::ptsname(master)) == nullptr) {
    ::close(master);
    return terminal;
  }
  struct winsize size {};
  size.ws_col = static_cast<unsigned short>(columns);
  size.ws_row = 24;
  ::ioctl(master, TIOCSWINSZ, &size);
  terminal.master = master;
  terminal.slavePath = name;
  return terminal;
}

std::vector<std::string> terminalScreen(const std::string& bytes) {
  std::vector<std::string> lines(1);
  size_t row = 0, column = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r') {
      column = 0;
    } else if (c == '\n') {
      if (++row == lines.size()) lines.emplace_back();
    } else if (c == '\x1b' && i + 1 < bytes.size() && bytes[i + 1] == '[') {
      size_t end = i + 2;
      while (end < bytes.size() && !(bytes[end] >= 0x40 && bytes[end] <= 0x7E)) ++end;
      if (end < bytes.size() && bytes[end] == 'K' && end == i + 2 && column < lines[row].size()) {
        lines[row].resize(column);
      }
      i = end;
    } else if (c == '\x1b' && i + 1 < bytes.size() && bytes[i + 1] == ']') {
      // A title or other command: up to BEL or ESC "\\".
      size_t end = i + 2;
      while (end < bytes.size() && bytes[end] != '\a' && !(bytes[end] == '\x1b' && end + 1 < bytes.size() && bytes[end + 1] == '\\')) ++end;
      i = end < bytes.size() && bytes[end] == '\x1b' ? end + 1 : end;
    } else if (c == '\x1b') {
      ++i;  // a two-character sequence
    } else {
      std::string& line = lines[row];
      if (line.size() < column) line.resize(column, ' ');
      if (column < line.size()) {
        line[column] = c;
      } else {
        line += c;
      }
      ++column;
    }
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace quorbix::test
