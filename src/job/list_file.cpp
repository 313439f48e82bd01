#include "job/list_file.h"

#include <algorithm>

namespace quorbix {
namespace {

// Enough bytes to tell every mark apart (the UTF-32 ones are four long).
constexpr size_t kLongestMark = 4;

size_t byteOrderMarkLength(std::string_view text) {
  auto startsWith = [&](std::string_view mark) { return text.substr(0, mark.size()) == mark; };
  using namespace std::string_view_literals;
  if (startsWith("\xFF\xFE\x00\x00"sv) || startsWith("\x00\x00\xFE\xFF"sv)) return 4;
  if (startsWith("\xEF\xBB\xBF"sv)) return 3;
  if (startsWith("\xFF\xFE"sv) || startsWith("\xFE\xFF"sv)) return 2;
  return 0;
}

}  // namespace

void ListFileReader::feed(std::string_view bytes) {
  if (!started_) {
    const size_t take = std::min(bytes.size(), kLongestMark - head_.size());
    head_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (head_.size() < kLongestMark) return;
    startText();
  }
  readText(bytes);
}

void ListFileReader::finish() {
  if (!started_) startText();
  if (utf16_) {
    decoded_.clear();
    utf16_->finish(decoded_);
    splitText(decoded_);
  }
  endLine();
}

// Looks for the mark in the first bytes and reads what follows it.
void ListFileReader::startText() {
  started_ = true;
  if (std::optional<Utf16Order> order = utf16Order(head_)) utf16_.emplace(*order);
  const std::string head = std::move(head_);
  head_ = std::string();
  readText(std::string_view(head).substr(byteOrderMarkLength(head)));
}

void ListFileReader::readText(std::string_view bytes) {
  if (!utf16_) return splitText(bytes);
  decoded_.clear();
  utf16_->decode(bytes, decoded_);
  splitText(decoded_);
}

// Every CR and every LF ends a line: a CR LF pair makes an empty line
// between the two, and empty lines are dropped anyway.
void ListFileReader::splitText(std::string_view text) {
  for (size_t end = text.find_first_of("\r\n"); end != std::string_view::npos;
       end = text.find_first_of("\r\n")) {
    appendToLine(text.substr(0, end));
    endLine();
    text.remove_prefix(end + 1);
  }
  appendToLine(text);
}

// Adds a part of the current line, leaving out its outer spaces.
void ListFileReader::appendToLine(std::string_view text) {
  if (tooLong_) return;
  const size_t last = text.find_last_not_of(' ');
  if (last == std::string_view::npos) {
    if (!line_.empty()) spaces_ += text.size();
    return;
  }
  const size_t first = line_.empty() ? text.find_first_not_of(' ') : 0;
  const std::string_view inner = text.substr(first, last + 1 - first);
  if (line_.size() + spaces_ + inner.size() > longestLine_) {
    tooLong_ = true;
    line_ = std::string();
    spaces_ = 0;
    return;
  }
  line_.append(spaces_, ' ');
  line_.append(inner);
  spaces_ = text.size() - last - 1;
}

void ListFileReader::endLine() {
  if (!tooLong_ && !line_.empty() && line_.find('\0') == std::string::npos) onLine_(line_);
  line_.clear();
  spaces_ = 0;
  tooLong_ = false;
}

std::vector<std::string> listFileLines(std::string_view contents) {
  std::vector<std::string> lines;
  ListFileReader reader([&](std::string_view line) { lines.emplace_back(line); });
  reader.feed(contents);
  reader.finish();
  return lines;
}

}  // namespace quorbix
