#include "platform/staged_file_system.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/random_name-windows.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform::staging {

std::string folderOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

namespace {

void setHidden(const std::string& path, bool hidden) {
  const std::wstring wide = widePath(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  const DWORD wanted = hidden ? attributes | FILE_ATTRIBUTE_HIDDEN : attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN);
  if (wanted != attributes) ::SetFileAttributesW(wide.c_str(), wanted);
}

}  // namespace

long processId() { return static_cast<long>(::GetCurrentProcessId()); }

std::string randomSuffix() { return randomName(8); }

int createExclusive(const std::string& path, bool& exists) {
  // Not inherited: the converter must not hold it open. The C runtime's
  // open shares reading and writing but not deleting, which tells other
  // runs that a live run holds it (platform/dead_runs.h).
  const int fd = ::_wopen(widePath(path).c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
  exists = fd < 0 && errno == EEXIST;
  // Hidden while it exists, as its leading dot says elsewhere.
  if (fd >= 0) setHidden(path, true);
  return fd;
}

bool writeAll(int fd, const void* data, size_t length) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    const unsigned chunk = static_cast<unsigned>(length < (1u << 30) ? length : (1u << 30));
    const int n = ::_write(fd, bytes, chunk);
    if (n <= 0) return false;
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

std::FILE* openStream(int fd) { return ::_fdopen(fd, "w+b"); }

bool syncToDisk(int fd) { return ::_commit(fd) == 0; }

bool closeDescriptor(int fd) { return ::_close(fd) == 0; }

bool replaceFile(const std::string& from, const std::string& to) {
  setHidden(from, false);
  return ::MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void removeFile(const std::string& path) { ::DeleteFileW(widePath(path).c_str()); }

}  // namespace quorbix::platform::staging
