#include "platform/same_file.h"

#include <sys/stat.h>

namespace quorbix::platform {

std::string comparablePath(std::string_view path) { return std::string(path); }

std::string fileIdentity(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return "";
  // A NUL first: no path holds one.
  std::string identity(1, '\0');
  identity += std::to_string(static_cast<unsigned long long>(st.st_dev));
  identity += ':';
  identity += std::to_string(static_cast<unsigned long long>(st.st_ino));
  return identity;
}

}  // namespace quorbix::platform
