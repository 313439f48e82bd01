// Removing a file or a folder with everything in it, on Windows. Links and
// junctions inside are removed themselves, never followed. Only the
// *-windows.cpp sources include this.
#pragma once

#include <string>

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

inline void removeWideTree(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    ::SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    ::DeleteFileW(path.c_str());
    return;
  }
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((path + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") removeWideTree(path + L"\\" + found.cFileName);
      } while (::FindNextFileW(search, &found));
      ::FindClose(search);
    }
  }
  ::RemoveDirectoryW(path.c_str());
}

// `path` in UTF-8; a trailing separator is allowed.
inline void removeTree(std::string path) {
  while (path.size() > 1 && isPathSeparator(path.back())) path.pop_back();
  if (!path.empty()) removeWideTree(widePath(path));
}

}  // namespace quorbix::platform
