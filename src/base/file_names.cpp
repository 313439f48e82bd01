#include "base/file_names.h"

namespace quorbix {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// Index of the "." that starts the extension, or npos.
size_t extensionDot(std::string_view path) {
  for (size_t i = path.size(); i-- > 0;) {
    char c = path[i];
    if (isSeparator(c) || c == ' ') return std::string_view::npos;
    if (c == '.') {
      if (i == 0 || isSeparator(path[i - 1])) return std::string_view::npos;
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::string extensionOf(std::string_view path) {
  size_t dot = extensionDot(path);
  if (dot == std::string_view::npos) return "";
  std::string_view ext = path.substr(dot + 1);
  size_t quote = ext.find('"');
  if (quote != std::string_view::npos) ext = ext.substr(0, quote);
  return std::string(ext);
}

std::string fileNamePart(std::string_view path) {
  size_t sep = path.find_last_of("\\/");
  return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string folderPart(std::string_view path) {
  size_t sep = path.find_last_of("\\/");
  return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string nameWithoutExtension(std::string_view name) {
  size_t dot = extensionDot(name);
  return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

}  // namespace quorbix
