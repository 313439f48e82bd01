#include "platform/random_access_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quorbix::platform {

std::unique_ptr<RandomAccessFile> RandomAccessFile::open(const std::string& path) {
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused
  // below, and reads of a regular file are not affected.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<RandomAccessFile>(new RandomAccessFile(fd, static_cast<uint64_t>(st.st_size)));
}

RandomAccessFile::~RandomAccessFile() { ::close(fd_); }

bool RandomAccessFile::readAt(uint64_t offset, void* into, size_t length) const {
  auto* out = static_cast<unsigned char*>(into);
  while (length > 0) {
    ssize_t n = ::pread(fd_, out, length, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;  // the file ended early
    out += n;
    offset += static_cast<uint64_t>(n);
    length -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace quorbix::platform
