#include "platform/random_access_file.h"

#include <cstdint>
#include <fcntl.h>
#include <io.h>

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

std::unique_ptr<RandomAccessFile> RandomAccessFile::open(const std::string& path) {
  const int fd = ::_wopen(widePath(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return nullptr;
  HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  // The standard information gives both; GetFileInformationByHandle would
  // also ask the volume for its serial number (under Wine a round trip to
  // its mount manager).
  FILE_STANDARD_INFO info{};
  if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandleEx(handle, FileStandardInfo, &info, sizeof info) || info.Directory) {
    ::_close(fd);
    return nullptr;
  }
  return std::unique_ptr<RandomAccessFile>(new RandomAccessFile(fd, static_cast<uint64_t>(info.EndOfFile.QuadPart)));
}

RandomAccessFile::~RandomAccessFile() { ::_close(fd_); }

// The file position is moved to each read's offset first (the object is not
// shared between threads). Giving the offset in an OVERLAPPED instead would
// save that call, but Wine then reports every read to its server as a
// completion: a round trip per read, on every converter's hot path.
bool RandomAccessFile::readAt(uint64_t offset, void* into, size_t length) const {
  HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (offset > static_cast<uint64_t>(INT64_MAX) || !::SetFilePointerEx(handle, at, nullptr, FILE_BEGIN)) return false;
  auto* bytes = static_cast<unsigned char*>(into);
  while (length > 0) {
    const DWORD chunk = static_cast<DWORD>(length < (1u << 30) ? length : (1u << 30));
    DWORD n = 0;
    if (!::ReadFile(handle, bytes, chunk, &n, nullptr) || n == 0) return false;
    bytes += n;
    length -= n;
  }
  return true;
}

}  // namespace quorbix::platform
