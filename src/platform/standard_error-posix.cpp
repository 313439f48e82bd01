#include "platform/standard_error.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>

namespace quorbix::platform {

std::string runCatchingStandardError(const std::function<void()>& work) {
  std::fflush(stderr);
  const int saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  int sink = ::memfd_create("quorbix-library-output", MFD_CLOEXEC);
  if (sink < 0) sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved < 0 || sink < 0 || ::dup2(sink, STDERR_FILENO) < 0) {
    if (saved >= 0) ::close(saved);
    if (sink >= 0) ::close(sink);
    work();
    return "";
  }
  work();
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);

  // Enough for any warnings; a flood beyond this is cut off.
  constexpr size_t kMostKept = 64 * 1024;
  std::string caught;
  if (::lseek(sink, 0, SEEK_SET) == 0) {
    char buffer[4096];
    ssize_t n;
    while (caught.size() < kMostKept && (n = ::read(sink, buffer, sizeof buffer)) > 0) {
      caught.append(buffer, static_cast<size_t>(n));
    }
  }
  ::close(sink);
  return caught;
}

}  // namespace quorbix::platform
