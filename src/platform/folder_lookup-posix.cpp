#include "platform/folder_lookup.h"

#include <dirent.h>
#include <sys/stat.h>

#include "base/ascii_text.h"

namespace quorbix::platform {

std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
  const std::string exact = folder + "/" + name;
  struct stat st {};
  if (::stat(exact.c_str(), &st) == 0) return exact;

  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> best;
  while (const dirent* entry = ::readdir(dir)) {
    if (equalsIgnoringAsciiCase(entry->d_name, name) && (!best || entry->d_name < *best)) best = entry->d_name;
  }
  ::closedir(dir);
  if (!best) return std::nullopt;
  return folder + "/" + *best;
}

}  // namespace quorbix::platform
