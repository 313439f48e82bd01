// StatusLine: the text of the live status line a run keeps on a terminal,
// and how often it is redrawn. During the import it counts the files found;
// during the conversion it shows files done of N, how many were converted
// and how many failed, files per second, elapsed and remaining time, and
// the file in work, all cut to the terminal's width. The clock, the width
// and where the line goes are handed in, so tests choose them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quorbix {

// How far the conversion is.
struct ConversionStatus {
  int64_t total = 0;      // files of the run
  int64_t converted = 0;  // saved so far
  int64_t failed = 0;     // not converted so far
  std::string current;    // the file in work; may be empty
};

// "m:ss", or "h:mm:ss" from an hour on.
std::string formatDuration(int64_t seconds);

// The import's line: "<found> files found", cut to `width` columns.
std::string formatImportStatus(int64_t found, int width);

// The conversion's line after `elapsedMilliseconds`, at most `width` - 1
// columns (the last column stays free, so the terminal never wraps it):
// "12/30 done, 11 converted, 1 failed, 4.0 files/s, 0:03 elapsed, 0:05 left: <file>".
// Rate and remaining time show "-" until a file is done. When the file
// would get fewer than 16 columns, the elapsed time and then the rate are
// left out; the file is cut from its start ("..." + its end) to fit, its
// control characters shown as "?". A width of 0 or less (unknown) counts
// as 80.
std::string formatConversionStatus(const ConversionStatus& status, int64_t elapsedMilliseconds, int width);

class StatusLine {
 public:
  using Clock = std::function<int64_t()>;  // milliseconds, never going back
  using Width = std::function<int()>;      // the terminal's columns now
  using Show = std::function<void(std::string_view)>;

  // Redraws come at least this far apart.
  static constexpr int64_t kIntervalMilliseconds = 100;

  // The elapsed time counts from now.
  StatusLine(Clock clock, Width width, Show show);

  // The elapsed time counts from now again.
  void restart();

  // Each shows the line when the last redraw is at least the interval ago
  // (or there was none); the width is asked for at each redraw.
  void showImport(int64_t found);
  void showConversion(const ConversionStatus& status);

 private:
  bool due();

  Clock clock_;
  Width width_;
  Show show_;
  int64_t start_ = 0;
  int64_t lastShown_ = 0;
  bool shown_ = false;
};

}  // namespace quorbix
