#include "platform/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quorbix::platform {

StagedFile::~StagedFile() { abandon(); }

bool StagedFile::open(const std::string& finalPath) {
  abandon();
  std::string pattern = finalPath + ".part-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd < 0) return false;
  // mkostemp makes the file private (0600); give it the usual mode instead.
  mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, static_cast<mode_t>(0666 & ~mask));
  fd_ = fd;
  finalPath_ = finalPath;
  stagingPath_ = buffer.data();
  return true;
}

bool StagedFile::write(const void* data, size_t length) {
  if (fd_ < 0) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    ssize_t n = ::write(fd_, bytes, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

bool StagedFile::commit() {
  if (fd_ < 0) return false;
  int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 || std::rename(stagingPath_.c_str(), finalPath_.c_str()) != 0) {
    ::unlink(stagingPath_.c_str());
    stagingPath_.clear();
    return false;
  }
  stagingPath_.clear();
  return true;
}

void StagedFile::abandon() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!stagingPath_.empty()) {
    ::unlink(stagingPath_.c_str());
    stagingPath_.clear();
  }
}

}  // namespace quorbix::platform
