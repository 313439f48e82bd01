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

std::string_view trimSpaces(std::string_view line) {
  size_t first = line.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  size_t last = line.find_last_not_of(' ');
  return line.substr(first, last - first + 1);
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
  endLine({});
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
    endLine(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  line_.append(text);
}

// Hands on the line made of the waiting start and `rest`.
void ListFileReader::endLine(std::string_view rest) {
  std::string_view line = rest;
  if (!line_.empty()) {
    line_.append(rest);
    line = line_;
  }
  line = trimSpaces(line);
  if (!line.empty() && line.find('\0') == std::string_view::npos) onLine_(line);
  line_.clear();
}

std::vector<std::string> listFileLines(std::string_view contents) {
  std::vector<std::string> lines;
  ListFileReader reader([&](std::string_view line) { lines.emplace_back(line); });
  reader.feed(contents);
  reader.finish();
  return lines;
}

}  // namespace quorbix
