#include "platform/key_wait.h"

#include <string>

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

struct KeyReader::Saved {
  HANDLE input = INVALID_HANDLE_VALUE;
  DWORD mode = 0;
  bool console = false;
};

// A console gives key presses through its input events; redirected input
// gives bytes, and its end ends the wait.
KeyReader::KeyReader() : saved_(std::make_unique<Saved>()) {
  saved_->input = ::GetStdHandle(STD_INPUT_HANDLE);
  if (saved_->input == nullptr || saved_->input == INVALID_HANDLE_VALUE) return;
  if (::GetConsoleMode(saved_->input, &saved_->mode)) {
    saved_->console = true;
    // No line editing, no echo, and Ctrl+C is a key like any other.
    const DWORD raw = saved_->mode & ~static_cast<DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT);
    restore_ = ::SetConsoleMode(saved_->input, raw) != 0;
    ::FlushConsoleInputBuffer(saved_->input);
  }
}

KeyReader::~KeyReader() {
  if (restore_) ::SetConsoleMode(saved_->input, saved_->mode);
}

int KeyReader::next() {
  HANDLE input = saved_->input;
  if (input == nullptr || input == INVALID_HANDLE_VALUE) return -1;
  if (!saved_->console) {
    unsigned char byte = 0;
    DWORD n = 0;
    if (!::ReadFile(input, &byte, 1, &n, nullptr) || n != 1) return -1;
    return byte;
  }
  for (;;) {
    INPUT_RECORD record{};
    DWORD n = 0;
    if (!::ReadConsoleInputW(input, &record, 1, &n) || n != 1) return -1;
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
    const WORD key = record.Event.KeyEvent.wVirtualKeyCode;
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_CAPITAL || key == VK_NUMLOCK ||
        key == VK_SCROLL || key == VK_LWIN || key == VK_RWIN) {
      continue;  // a modifier alone is no key press
    }
    const wchar_t character = record.Event.KeyEvent.uChar.UnicodeChar;
    if (character == 0) return 0x1B;  // arrows, function keys: a terminal sends ESC first
    const std::string text = narrowText(std::wstring_view(&character, 1));
    return text.empty() ? 0x1B : static_cast<unsigned char>(text[0]);
  }
}

void waitForKey() {
  KeyReader keys;
  keys.next();
}

}  // namespace quorbix::platform
