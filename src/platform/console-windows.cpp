#include "platform/console.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>

#include "platform/interruption.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform {
namespace {

// One lock for both streams and the status line: on a console they are the
// same screen. Never destroyed: a stop may use it until the very end.
struct Console {
  std::timed_mutex mutex;
  HANDLE status = nullptr;  // the console of standard error, while open
  int shownLength = 0;      // UTF-16 units of the status line on screen
  std::atomic<bool> stopped{false};
};

Console& console() {
  static Console* const instance = new Console;
  return *instance;
}

bool isConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

// A console gets the characters; anything else (file, pipe) the UTF-16LE
// code units as bytes, without a byte-order mark.
void writeAll(HANDLE handle, std::wstring_view text) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
  if (isConsole(handle)) {
    while (!text.empty()) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(text.size() < 16384 ? text.size() : 16384);
      if (!::WriteConsoleW(handle, text.data(), chunk, &written, nullptr) || written == 0) return;
      text.remove_prefix(written);
    }
    return;
  }
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (wchar_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>((unit >> 8) & 0xFF);
  }
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    if (!::WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
        written == 0) {
      return;  // nothing sensible to do when the stream is gone
    }
    done += written;
  }
  ::FlushFileBuffers(handle);  // a pipe's reader sees the line now
}

// With the lock held.
void eraseShownStatus(Console& c) {
  if (c.shownLength == 0) return;
  std::wstring erase = L"\r";
  erase.append(static_cast<size_t>(c.shownLength), L' ');
  erase += L'\r';
  writeAll(c.status, erase);
  c.shownLength = 0;
}

void writeLine(DWORD which, std::string_view text) {
  std::wstring line = wideText(text);
  line += L"\r\n";
  holdIfStopping();
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  eraseShownStatus(c);
  writeAll(::GetStdHandle(which), line);
}

void eraseStatusForStop() {
  Console& c = console();
  c.stopped = true;
  std::unique_lock<std::timed_mutex> lock(c.mutex, std::chrono::milliseconds(500));
  if (lock.owns_lock()) eraseShownStatus(c);
}

int consoleWidth(HANDLE handle) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (handle == nullptr || !::GetConsoleScreenBufferInfo(handle, &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}

}  // namespace

void printLine(std::string_view text) { writeLine(STD_OUTPUT_HANDLE, text); }

void printErrorLine(std::string_view text) { writeLine(STD_ERROR_HANDLE, text); }

bool openStatusLine() {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  if (c.status != nullptr) return true;
  HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
  if (!isConsole(error)) return false;
  c.status = error;
  runFirstOnStop(eraseStatusForStop);
  return true;
}

int statusLineWidth() {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  return consoleWidth(c.status);
}

void showStatusLine(std::string_view text) {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  if (c.status == nullptr || c.stopped) return;
  std::wstring wide = wideText(text);
  // Never into the last column: the console would wrap onto a new line.
  const int width = consoleWidth(c.status);
  if (width > 1 && wide.size() > static_cast<size_t>(width - 1)) wide.resize(static_cast<size_t>(width - 1));
  std::wstring line = L"\r" + wide;
  if (c.shownLength > static_cast<int>(wide.size())) {
    line.append(static_cast<size_t>(c.shownLength) - wide.size(), L' ');
    line += L"\r" + wide;
  }
  writeAll(c.status, line);
  c.shownLength = static_cast<int>(wide.size());
}

void clearStatusLine() {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  if (c.status != nullptr) eraseShownStatus(c);
}

void closeStatusLine() {
  Console& c = console();
  std::lock_guard<std::timed_mutex> lock(c.mutex);
  if (c.status == nullptr) return;
  eraseShownStatus(c);
  c.status = nullptr;
}

}  // namespace quorbix::platform
