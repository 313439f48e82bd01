#include "job/status_line.h"

#include <cstdio>

namespace quorbix {
namespace {

constexpr int kUnknownWidth = 80;

size_t usableColumns(int width) { return static_cast<size_t>(width > 0 ? width - 1 : kUnknownWidth - 1); }

bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Columns of UTF-8 text, one per character.
size_t columnsOf(std::string_view text) {
  size_t columns = 0;
  for (char c : text) columns += isContinuationByte(c) ? 0 : 1;
  return columns;
}

// The first `columns` characters of `text`.
std::string firstColumns(std::string_view text, size_t columns) {
  size_t at = 0;
  for (size_t seen = 0; at < text.size(); ++at) {
    if (!isContinuationByte(text[at]) && seen++ == columns) break;
  }
  return std::string(text.substr(0, at));
}

// The last `columns` characters of `text`.
std::string lastColumns(std::string_view text, size_t columns) {
  size_t at = text.size();
  for (size_t seen = 0; at > 0 && seen < columns;) {
    --at;
    if (!isContinuationByte(text[at])) ++seen;
  }
  return std::string(text.substr(at));
}

std::string printable(std::string_view text) {
  std::string safe;
  safe.reserve(text.size());
  for (char c : text) safe += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
  return safe;
}

std::string fit(std::string_view text, int width) { return firstColumns(text, usableColumns(width)); }

}  // namespace

std::string formatDuration(int64_t seconds) {
  if (seconds < 0) seconds = 0;
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02d:%02d", static_cast<long long>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
  }
  return text;
}

std::string formatImportStatus(int64_t found, int width) {
  std::string line = std::to_string(found);
  line += found == 1 ? " file found" : " files found";
  return fit(line, width);
}

std::string formatConversionStatus(const ConversionStatus& status, int64_t elapsedMilliseconds, int width) {
  const int64_t done = status.converted + status.failed;
  std::string counts = std::to_string(done);
  counts += '/';
  counts += std::to_string(status.total);
  counts += " done, ";
  counts += std::to_string(status.converted);
  counts += " converted, ";
  counts += std::to_string(status.failed);
  counts += " failed";
  std::string rate = ", ";
  if (done > 0 && elapsedMilliseconds > 0) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f",
                  static_cast<double>(done) * 1000.0 / static_cast<double>(elapsedMilliseconds));
    rate += text;
  } else {
    rate += '-';
  }
  rate += " files/s";
  std::string elapsed = ", ";
  elapsed += formatDuration(elapsedMilliseconds / 1000);
  elapsed += " elapsed";
  std::string left = ", ";
  if (done > 0) {
    const int64_t remaining = status.total > done ? status.total - done : 0;
    // Rounded up: a file still in work never shows 0:00.
    left += formatDuration((elapsedMilliseconds * remaining + done * 1000 - 1) / (done * 1000));
  } else {
    left += '-';
  }
  left += " left";

  // On a narrow terminal the elapsed time goes first, then the rate, so the
  // file in work keeps some room.
  const size_t columns = usableColumns(width);
  std::string line = counts + rate + elapsed + left;
  if (!status.current.empty()) {
    constexpr size_t kFileRoom = 16;
    if (columnsOf(line) + 2 + kFileRoom > columns) line = counts + rate + left;
    if (columnsOf(line) + 2 + kFileRoom > columns) line = counts + left;
  }
  if (status.current.empty() || columnsOf(line) + 2 >= columns) return fit(line, width);
  line += ": ";
  const std::string file = printable(status.current);
  const size_t room = columns - columnsOf(line);
  if (columnsOf(file) <= room) return line + file;
  if (room <= 3) return line + firstColumns("...", room);
  return line + "..." + lastColumns(file, room - 3);
}

StatusLine::StatusLine(Clock clock, Width width, Show show)
    : clock_(std::move(clock)), width_(std::move(width)), show_(std::move(show)), start_(clock_()) {}

void StatusLine::restart() { start_ = clock_(); }

bool StatusLine::due() {
  const int64_t now = clock_();
  if (shown_ && now - lastShown_ < kIntervalMilliseconds) return false;
  shown_ = true;
  lastShown_ = now;
  return true;
}

void StatusLine::showImport(int64_t found) {
  if (due()) show_(formatImportStatus(found, width_()));
}

void StatusLine::showConversion(const ConversionStatus& status) {
  if (due()) show_(formatConversionStatus(status, lastShown_ - start_, width_()));
}

}  // namespace quorbix
