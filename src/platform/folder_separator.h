// How this system separates folders in a path. The program writes
// kFolderSeparator where it joins a folder and a name; isFolderSeparator
// says which characters split a path it is given. On Linux only "/" (a "\"
// is an ordinary character of a file name there); on Windows the program
// writes "\" and takes "/" as a separator too, as Windows itself does.
#pragma once

#include <string>
#include <string_view>

namespace quorbix::platform {

#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
inline constexpr std::string_view kFolderSeparators = "\\/";
#else
inline constexpr char kFolderSeparator = '/';
inline constexpr std::string_view kFolderSeparators = "/";
#endif

constexpr bool isFolderSeparator(char c) { return kFolderSeparators.find(c) != std::string_view::npos; }

// Where the last separator of `path` is (at or before `before`);
// std::string_view::npos when there is none.
inline size_t lastFolderSeparator(std::string_view path, size_t before = std::string_view::npos) {
  return path.find_last_of(kFolderSeparators, before);
}

// Where the first separator of `path` at or after `from` is; npos when none.
inline size_t nextFolderSeparator(std::string_view path, size_t from = 0) {
  return path.find_first_of(kFolderSeparators, from);
}

// `folder` ending in a separator: kFolderSeparator is appended unless it
// already ends in one. An empty text stays empty.
inline std::string withFolderSeparator(std::string folder) {
  if (!folder.empty() && !isFolderSeparator(folder.back())) folder += kFolderSeparator;
  return folder;
}

}  // namespace quorbix::platform
