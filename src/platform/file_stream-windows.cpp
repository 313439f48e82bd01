#include "platform/file_stream.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "platform/file_system.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform {

// Through a descriptor of our own, so that the stream is not inherited by
// a converter started meanwhile.
std::FILE* openForReading(const std::string& path) {
  if (!isFile(path)) return nullptr;
  const int fd = ::_wopen(widePath(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return nullptr;
  std::FILE* stream = ::_fdopen(fd, "rb");
  if (stream == nullptr) ::_close(fd);
  return stream;
}

std::FILE* openForWriting(const std::string& path) {
  const int fd = ::_wopen(widePath(path).c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* stream = ::_fdopen(fd, "wb");
  if (stream == nullptr) ::_close(fd);
  return stream;
}

}  // namespace quorbix::platform
