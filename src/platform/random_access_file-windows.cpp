#include "platform/random_access_file.h"

#include <fcntl.h>
#include <io.h>

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

std::unique_ptr<RandomAccessFile> RandomAccessFile::open(const std::string& path) {
  const int fd = ::_wopen(widePath(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return nullptr;
  HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  LARGE_INTEGER size{};
  BY_HANDLE_FILE_INFORMATION info{};
  if (handle == INVALID_HANDLE_VALUE || ::GetFileType(handle) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      !::GetFileSizeEx(handle, &size)) {
    ::_close(fd);
    return nullptr;
  }
  return std::unique_ptr<RandomAccessFile>(new RandomAccessFile(fd, static_cast<uint64_t>(size.QuadPart)));
}

RandomAccessFile::~RandomAccessFile() { ::_close(fd_); }

// Each read names its own offset, so no file position is shared.
bool RandomAccessFile::readAt(uint64_t offset, void* into, size_t length) const {
  HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd_));
  auto* bytes = static_cast<unsigned char*>(into);
  while (length > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD chunk = static_cast<DWORD>(length < (1u << 30) ? length : (1u << 30));
    DWORD n = 0;
    if (!::ReadFile(handle, bytes, chunk, &n, &at) || n == 0) return false;
    bytes += n;
    offset += n;
    length -= n;
  }
  return true;
}

}  // namespace quorbix::platform
