// Reading single keys for the pause at exit and the small console prompts.
// From the controlling terminal: raw, one key, not echoed. Without a
// terminal: bytes of standard input, and end of input ends every wait at
// once, so a script or CI run never hangs. Main thread only.
#pragma once

#include <memory>

namespace quorbix::platform {

// Waits for one key press and consumes it.
void waitForKey();

// A source of key presses; the terminal is in raw no-echo mode while the
// object lives.
class KeyReader {
 public:
  KeyReader();
  ~KeyReader();
  KeyReader(const KeyReader&) = delete;
  KeyReader& operator=(const KeyReader&) = delete;

  // The next key as a byte value (Enter gives '\n' or '\r'; a key that sends
  // a sequence gives its first byte, the rest is dropped), or -1 at end of
  // input or on a read error.
  int next();

 private:
  int fd_ = -1;          // the terminal, or standard input
  bool ownsFd_ = false;  // fd_ was opened here
  bool restore_ = false; // saved_ holds the terminal's previous mode
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

}  // namespace quorbix::platform
