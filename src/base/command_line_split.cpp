#include "base/command_line_split.h"

namespace quorbix {

std::vector<std::string> splitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  size_t at = 0;
  for (;;) {
    while (at < line.size() && line[at] == ' ') ++at;
    if (at == line.size()) break;
    std::string word;
    if (line[at] == '"') {
      const size_t close = line.find('"', at + 1);
      const size_t end = close == std::string_view::npos ? line.size() : close;
      word.assign(line.substr(at + 1, end - at - 1));
      at = close == std::string_view::npos ? line.size() : close + 1;
    } else {
      for (bool quoted = false; at < line.size() && (quoted || line[at] != ' '); ++at) {
        if (line[at] == '"') {
          quoted = !quoted;
        } else {
          word += line[at];
        }
      }
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace quorbix
