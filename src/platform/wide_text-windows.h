// Text at the Windows calls: the program keeps UTF-8, Windows takes UTF-16.
// Only the *-windows.cpp sources include this.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace quorbix::platform {

// UTF-8 to UTF-16; invalid bytes become U+FFFD.
inline std::wstring wideText(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
inline std::string narrowText(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

// `path` ("\" separators) in its "\\?\" form when it is absolute and as
// long as the old limit of Windows paths or longer, so that calls take it
// with or without the system's long-path setting. That form is taken
// literally, so it is resolved first ("." and ".." out). Other paths stay.
inline std::wstring longPathForm(std::wstring path) {
  // CreateDirectoryW's limit: MAX_PATH less room for an 8.3 name.
  constexpr size_t kOldLimit = MAX_PATH - 12;
  if (path.size() < kOldLimit || path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0) return path;
  const bool drive = ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
                     path[1] == L':' && path[2] == L'\\';
  const bool unc = path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
  if (!drive && !unc) return path;
  const DWORD n = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (n == 0) return path;
  std::wstring full(n, L'\0');
  const DWORD m = ::GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
  if (m == 0 || m >= n) return path;
  full.resize(m);
  std::wstring prefixed = unc ? L"\\\\?\\UNC" : L"\\\\?\\";
  prefixed.append(full, unc ? 1 : 0);
  return prefixed;
}

// The path for a wide-character call: "/" becomes "\", and a long absolute
// path takes its "\\?\" form (longPathForm).
inline std::wstring widePath(std::string_view path) {
  std::wstring wide = wideText(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return longPathForm(std::move(wide));
}

// `path` without a "\\?\" form's start: "\\?\C:\x" is "C:\x", "\\?\UNC\s\x"
// is "\\s\x". Paths the program keeps and compares are in the plain form.
inline std::wstring plainPathForm(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return path.replace(0, 8, L"\\\\");
  if (path.rfind(L"\\\\?\\", 0) == 0) path.erase(0, 4);
  return path;
}

inline bool isPathSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace quorbix::platform
