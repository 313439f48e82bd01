// Reading a list file: one file or folder path per line. A leading
// byte-order mark is skipped: after a UTF-16 mark (FF FE or FE FF) the text
// is UTF-16 and is decoded to UTF-8; after any other (UTF-8, or UTF-32 in
// either byte order) and without one, the bytes are taken as UTF-8 as they
// are. Lines end at CR, LF or CR LF; spaces (not tabs) around a line are
// removed. There is no comment syntax.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf16_text.h"

namespace quorbix {

// Lines longer than this after trimming name no path on any system (Linux
// stops at 4095 bytes, Windows at 32767 UTF-16 units) and are left out.
inline constexpr size_t kLongestListLine = size_t{128} << 10;

// Splits a list file fed in consecutive pieces of any size into its lines,
// handing each on as soon as it is complete: memory holds at most one line
// of bounded length, whatever the size of the file. Only non-empty trimmed
// lines are handed on, in file order; lines holding a NUL or longer than
// `longestLine` cannot name a path and are left out.
class ListFileReader {
 public:
  using LineHandler = std::function<void(std::string_view line)>;
  explicit ListFileReader(LineHandler onLine, size_t longestLine = kLongestListLine)
      : onLine_(std::move(onLine)), longestLine_(longestLine) {}

  void feed(std::string_view bytes);
  // The end of the file: hands on the last line.
  void finish();

 private:
  void startText();
  void readText(std::string_view bytes);
  void splitText(std::string_view text);
  void appendToLine(std::string_view text);
  void endLine();

  LineHandler onLine_;
  size_t longestLine_;
  bool started_ = false;  // the mark has been looked for
  std::string head_;      // the first bytes, until there are enough to tell the mark
  std::optional<Utf16Decoder> utf16_;
  std::string decoded_;  // one piece of UTF-16 text as UTF-8
  // The line being read: its text from the first to the last character
  // that is not a space, the spaces seen after that, and whether it has
  // grown too long to name anything.
  std::string line_;
  size_t spaces_ = 0;
  bool tooLong_ = false;
};

// The lines of a whole list file at once.
std::vector<std::string> listFileLines(std::string_view contents);

}  // namespace quorbix
