#include "platform/folder_lookup.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform {
namespace {

bool equalIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return isPathSeparator(folder.back()) ? folder + name : folder + "\\" + name;
}

}  // namespace

// Windows itself finds names without regard to case; the entry's own
// spelling is returned all the same.
std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name) {
  if (name.empty() || name.find_first_of("\\/") != std::string::npos) return std::nullopt;
  std::vector<FolderEntry> entries;
  if (!listFolder(folder, entries)) return std::nullopt;
  std::optional<std::string> best;
  for (const FolderEntry& entry : entries) {
    if (entry.name == name) return joined(folder, name);
    if (equalIgnoringAsciiCase(entry.name, name) && (!best || entry.name < *best)) best = entry.name;
  }
  if (!best) return std::nullopt;
  return joined(folder, *best);
}

}  // namespace quorbix::platform
