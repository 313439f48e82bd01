#include "platform/program_folder.h"

#include <vector>

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

std::string executablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return "";
    if (n < buffer.size()) return narrowText(std::wstring_view(buffer.data(), n));
    if (buffer.size() >= 32768) return "";  // the longest path Windows has
    buffer.resize(buffer.size() * 2);
  }
}

std::string programFolder() {
  const std::string path = executablePath();
  const size_t separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return "";
  return path.substr(0, separator + 1);
}

}  // namespace quorbix::platform
