#include "platform/standard_error.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

// The C runtime's standard error (descriptor 2) goes to a temporary file,
// deleted when closed, while `work` runs; what libraries write through it is
// read back from there.
std::string runCatchingStandardError(const std::function<void()>& work) {
  std::fflush(stderr);
  wchar_t folder[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  int sink = -1;
  if (::GetTempPathW(MAX_PATH + 1, folder) != 0 && ::GetTempFileNameW(folder, L"qbx", 0, name) != 0) {
    sink = ::_wopen(name, _O_RDWR | _O_BINARY | _O_TEMPORARY | _O_NOINHERIT);
    if (sink < 0) ::DeleteFileW(name);
  }
  const int saved = ::_dup(2);
  if (saved < 0 || sink < 0 || ::_dup2(sink, 2) != 0) {
    if (saved >= 0) ::_close(saved);
    if (sink >= 0) ::_close(sink);
    work();
    return "";
  }
  work();
  std::fflush(stderr);
  ::_dup2(saved, 2);
  ::_close(saved);
  constexpr size_t kMostKept = 64 * 1024;
  std::string caught;
  if (::_lseeki64(sink, 0, SEEK_SET) == 0) {
    char buffer[4096];
    int n;
    while (caught.size() < kMostKept && (n = ::_read(sink, buffer, sizeof buffer)) > 0) {
      caught.append(buffer, static_cast<size_t>(n));
    }
  }
  ::_close(sink);
  return caught;
}

}  // namespace quorbix::platform
