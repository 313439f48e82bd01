#include "platform/file_system.h"

#include "platform/wide_text-windows.h"

namespace quorbix::platform {
namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;

// Opens `path` for its attributes only; links are followed, folders too.
HANDLE openForAttributes(const std::string& path, DWORD access) {
  return ::CreateFileW(widePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::string withSeparator(std::string folder) {
  if (!folder.empty() && !isPathSeparator(folder.back())) folder += '\\';
  return folder;
}

// The path of an open handle with every link resolved, "C:\..." or
// "\\server\share\...".
std::optional<std::string> finalPathOf(HANDLE handle) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return std::nullopt;
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(n + 1);
  }
  return narrowText(plainPathForm(std::move(buffer)));
}

std::optional<std::string> realPath(const std::string& path) {
  HANDLE handle = openForAttributes(path, 0);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::string> real = finalPathOf(handle);
  ::CloseHandle(handle);
  return real;
}

// The absolute path with "." and ".." taken out lexically, "\" separators,
// in the plain form (never "\\?\...").
std::string fullPath(const std::string& path) {
  const std::wstring wide = widePath(path);
  const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return "";
  std::wstring buffer(n, L'\0');
  const DWORD m = ::GetFullPathNameW(wide.c_str(), n, buffer.data(), nullptr);
  if (m == 0 || m >= n) return "";
  buffer.resize(m);
  return narrowText(plainPathForm(std::move(buffer)));
}

}  // namespace

PathInfo pathInfo(const std::string& path) {
  PathInfo info;
  if (path.empty()) return info;
  HANDLE handle = openForAttributes(path, 0);
  if (handle == INVALID_HANDLE_VALUE) return info;
  // The standard information only: GetFileInformationByHandle would also ask
  // the volume for its serial number, which Wine answers through its mount
  // manager in another process, and this runs several times per picture.
  FILE_STANDARD_INFO data{};
  if (::GetFileInformationByHandleEx(handle, FileStandardInfo, &data, sizeof data)) {
    if (data.Directory) {
      info.kind = PathKind::Folder;
    } else if (::GetFileType(handle) == FILE_TYPE_DISK) {
      info.kind = PathKind::File;
      info.size = static_cast<uint64_t>(data.EndOfFile.QuadPart);
    } else {
      info.kind = PathKind::Other;
    }
  }
  ::CloseHandle(handle);
  return info;
}

bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  const std::string pattern = withSeparator(folder.empty() ? std::string(".") : folder) + "*";
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(widePath(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    FolderEntry entry;
    entry.name = narrowText(name);
    const bool folderLike = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool reparse = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    // Symbolic links and junctions to folders are links, not folders.
    entry.isFolder = folderLike && !reparse;
    entry.isLinkToFolder = folderLike && reparse;
    entries.push_back(std::move(entry));
  } while (::FindNextFileW(search, &found));
  const bool complete = ::GetLastError() == ERROR_NO_MORE_FILES;
  ::FindClose(search);
  return complete;
}

bool readWholeFile(const std::string& path, std::string& contents, uint64_t maxBytes) {
  contents.clear();
  HANDLE file = ::CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (::GetFileType(file) != FILE_TYPE_DISK || !::GetFileSizeEx(file, &size) ||
      static_cast<uint64_t>(size.QuadPart) > maxBytes) {
    ::CloseHandle(file);
    return false;
  }
  contents.reserve(static_cast<size_t>(size.QuadPart));
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
      ::CloseHandle(file);
      contents.clear();
      return false;
    }
    if (n == 0) break;
    if (contents.size() + n > maxBytes) {
      ::CloseHandle(file);
      contents.clear();
      return false;
    }
    contents.append(buffer, n);
  }
  ::CloseHandle(file);
  return true;
}

bool writeWholeFile(const std::string& path, const std::string& contents) {
  HANDLE file = ::CreateFileW(widePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  size_t done = 0;
  bool ok = true;
  while (ok && done < contents.size()) {
    DWORD n = 0;
    const size_t left = contents.size() - done;
    ok = ::WriteFile(file, contents.data() + done, static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30)), &n,
                     nullptr) != 0;
    done += n;
  }
  return ::CloseHandle(file) != 0 && ok;
}

bool createFolder(const std::string& path) { return ::CreateDirectoryW(widePath(path).c_str(), nullptr) != 0; }

bool deleteFile(const std::string& path) { return ::DeleteFileW(widePath(path).c_str()) != 0; }

bool renameFile(const std::string& from, const std::string& to) {
  return ::MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Windows has no flush of a folder's entries for ordinary users; renames
// made with MOVEFILE_WRITE_THROUGH are on the disk when they return.
bool flushFolderToDisk(const std::string& folder) { return folder.empty() || isFolder(folder); }

bool isAbsolutePath(std::string_view path) {
  if (path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
      path[1] == ':' && isPathSeparator(path[2])) {
    return true;
  }
  // \\server\share (and \\?\ or \\.\ names): a server name must follow.
  return path.size() >= 3 && isPathSeparator(path[0]) && isPathSeparator(path[1]) && !isPathSeparator(path[2]);
}

bool isRootedPath(std::string_view path) {
  return (!path.empty() && isPathSeparator(path.front())) || path.find(':') != std::string_view::npos;
}

size_t rootLength(std::string_view path) {
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  if (drive) return path.size() >= 3 && isPathSeparator(path[2]) ? 3 : 2;
  if (path.empty() || !isPathSeparator(path.front())) return 0;
  if (!isAbsolutePath(path)) return 1;  // "\pictures": the root of the current drive
  // \\server\share\: up to and with the separator after the share's name.
  size_t end = 2;
  for (int names = 0; names < 2 && end < path.size(); ++names) {
    while (end < path.size() && !isPathSeparator(path[end])) ++end;
    if (end < path.size()) ++end;
  }
  return end;
}

std::string currentFolder() {
  const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return "";
  std::wstring buffer(n, L'\0');
  const DWORD m = ::GetCurrentDirectoryW(n, buffer.data());
  if (m == 0 || m >= n) return "";
  buffer.resize(m);
  return withSeparator(narrowText(buffer));
}

std::string resolvedPath(const std::string& path, LastName lastName) {
  const std::string absolute = fullPath(path.empty() ? std::string(".") : path);
  if (absolute.empty()) return "";
  const bool followLast = lastName == LastName::Followed || (!path.empty() && isPathSeparator(path.back()));
  if (followLast) {
    if (std::optional<std::string> real = realPath(absolute)) return *real;
  }
  // The deepest folder on the way that exists, resolved through its links;
  // the rest (missing, or the last name kept) is added as it is.
  std::string head = absolute;
  while (!head.empty() && isPathSeparator(head.back()) && !isAbsolutePath(head.substr(0, head.size() - 1))) {
    head.pop_back();
  }
  size_t cut = head.find_last_of("\\/");
  while (cut != std::string::npos && cut > 0) {
    const std::string folder = head.substr(0, cut);
    const std::string rest = head.substr(cut);
    // A drive root keeps its separator ("C:\").
    const std::string probe = folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
    if (std::optional<std::string> real = realPath(probe)) {
      std::string result = *real;
      while (!result.empty() && isPathSeparator(result.back())) result.pop_back();
      return result + rest;
    }
    cut = folder.find_last_of("\\/");
  }
  return absolute;
}

std::optional<int64_t> lastWriteTime(const std::string& path) {
  HANDLE handle = openForAttributes(path, 0);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  FILETIME written{};
  const bool ok = ::GetFileTime(handle, nullptr, nullptr, &written) != 0;
  ::CloseHandle(handle);
  if (!ok) return std::nullopt;
  const uint64_t ticks = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
  return static_cast<int64_t>(ticks / kTicksPerSecond) - kSecondsFrom1601To1970;
}

// Only the last-write time; creation and last-access times stay as they are.
bool setLastWriteTime(const std::string& path, int64_t unixSeconds) {
  if (unixSeconds < -kSecondsFrom1601To1970) return false;
  const uint64_t ticks = static_cast<uint64_t>(unixSeconds + kSecondsFrom1601To1970) * kTicksPerSecond;
  FILETIME written{};
  written.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  written.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  HANDLE handle = openForAttributes(path, FILE_WRITE_ATTRIBUTES);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool ok = ::SetFileTime(handle, nullptr, nullptr, &written) != 0;
  return ::CloseHandle(handle) != 0 && ok;
}

}  // namespace quorbix::platform
