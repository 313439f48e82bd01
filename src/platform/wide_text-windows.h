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

// The path for a wide-character call: "/" becomes "\".
inline std::wstring widePath(std::string_view path) {
  std::wstring wide = wideText(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return wide;
}

inline bool isPathSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace quorbix::platform
