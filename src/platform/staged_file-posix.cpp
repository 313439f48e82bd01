#include "platform/staged_file_system.h"

#include "platform/dead_runs-posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace quorbix::platform::staging {

std::string folderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

long processId() { return static_cast<long>(::getpid()); }

std::string randomSuffix() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[8] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    // Without the kernel's source, time and process id still make collisions
    // rare; O_EXCL keeps them harmless.
    static unsigned counter = 0;
    unsigned long mix = static_cast<unsigned long>(::getpid()) * 2654435761u + ++counter +
                        static_cast<unsigned long>(::time(nullptr));
    for (unsigned char& b : bytes) {
      b = static_cast<unsigned char>(mix);
      mix = mix * 6364136223846793005ull + 1442695040888963407ull;
    }
  }
  std::string suffix;
  for (unsigned char b : bytes) suffix += kLetters[b % (sizeof kLetters - 1)];
  return suffix;
}

int createExclusive(const std::string& path, bool& exists) {
  // 0666 before the umask, like any file the program writes directly.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  exists = fd < 0 && errno == EEXIST;
  // Held while open, so that other runs take it for a live run's
  // (platform/dead_runs.h); one that removed it first gets it made anew.
  if (fd >= 0 && !holdMadeEntry(fd, path)) {
    ::close(fd);
    exists = true;
    return -1;
  }
  return fd;
}

bool writeAll(int fd, const void* data, size_t length) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    ssize_t n = ::write(fd, bytes, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

std::FILE* openStream(int fd) { return ::fdopen(fd, "w+b"); }

bool syncToDisk(int fd) {
  int result;
  do {
    result = ::fsync(fd);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

bool closeDescriptor(int fd) { return ::close(fd) == 0; }

bool replaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void removeFile(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace quorbix::platform::staging
