#include "platform/folder_lookup.h"

#include <dirent.h>
#include <sys/stat.h>

namespace quorbix::platform {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringAsciiCase(const char* a, const std::string& b) {
  size_t i = 0;
  for (; a[i] != '\0'; ++i) {
    if (i == b.size() || lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return i == b.size();
}

}  // namespace

std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
  const std::string exact = folder + "/" + name;
  struct stat st {};
  if (::stat(exact.c_str(), &st) == 0) return exact;

  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(dir)) {
    if (equalIgnoringAsciiCase(entry->d_name, name) && (!best || entry->d_name < *best)) best = entry->d_name;
  }
  ::closedir(dir);
  if (!best) return std::nullopt;
  return folder + "/" + *best;
}

}  // namespace quorbix::platform
