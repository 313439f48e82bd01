#include "job/list_file.h"

namespace quorbix {
namespace {

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

std::vector<std::string> listFileLines(std::string_view contents) {
  std::vector<std::string> lines;
  contents.remove_prefix(byteOrderMarkLength(contents));
  size_t start = 0;
  while (start < contents.size()) {
    size_t end = contents.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = contents.size();
    std::string_view line = trimSpaces(contents.substr(start, end - start));
    if (!line.empty() && line.find('\0') == std::string_view::npos) lines.emplace_back(line);
    if (end == contents.size()) break;
    start = end + 1;
    if (contents[end] == '\r' && start < contents.size() && contents[start] == '\n') ++start;
  }
  return lines;
}

}  // namespace quorbix
