// File-system services of the program: kinds and sizes of paths, folder
// listings, whole-file reads, folder creation, deletion, renaming and
// last-write times. Paths are UTF-8 texts whose folders are separated as
// platform/folder_separator.h says. Every call is safe from any thread; none
// throws; failures are reported by return values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorbix::platform {

enum class PathKind { Missing, File, Folder, Other };

struct PathInfo {
  PathKind kind = PathKind::Missing;
  uint64_t size = 0;  // bytes, for files
};

// Follows symbolic links (a link to a file is that file).
PathInfo pathInfo(const std::string& path);
inline bool isFolder(const std::string& path) { return pathInfo(path).kind == PathKind::Folder; }
inline bool isFile(const std::string& path) { return pathInfo(path).kind == PathKind::File; }
inline bool exists(const std::string& path) { return pathInfo(path).kind != PathKind::Missing; }

struct FolderEntry {
  std::string name;
  bool isFolder = false;      // a real folder, not a link to one
  bool isLinkToFolder = false;  // symbolic link whose target is a folder
};

// Lists `folder` (all names, hidden ones included, without "." and ".."),
// in the order the system gives them. Returns false when it cannot be listed.
bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Reads a whole regular file into `contents`. Fails for folders, unreadable
// files and files larger than `maxBytes`.
bool readWholeFile(const std::string& path, std::string& contents,
                   uint64_t maxBytes = uint64_t{1} << 31);

// Writes `contents` to `path`, replacing it.
bool writeWholeFile(const std::string& path, const std::string& contents);

// Creates one folder level.
bool createFolder(const std::string& path);

// Deletes a file (never a folder).
bool deleteFile(const std::string& path);

// Renames `from` over `to` (same file system), replacing `to` atomically.
bool renameFile(const std::string& from, const std::string& to);

// Has the system put the folder's entries (names created, renamed or removed
// in it) on the disk (fsync of the folder). False when that fails.
bool flushFolderToDisk(const std::string& folder);

// True when `path` names its place without the current folder: on Linux
// when it begins with "/"; on Windows with a drive letter and a separator
// (C:\ or C:/ at the start) or as a UNC name (\\server\share).
bool isAbsolutePath(std::string_view path);

// True when `path` is not a name below the current folder, so that no
// folder may be put in front of it: on Linux when it begins with "/"; on
// Windows when it begins with a separator ("\pictures", on the current
// drive) or holds a ":" anywhere ("C:\pictures", "C:pictures").
bool isRootedPath(std::string_view path);

// The length of the root at the start of `path`, its separator included:
// on Linux 1 for a path beginning with "/"; on Windows 3 for "C:\", 2 for
// "C:" without a separator, 1 for a single leading separator, and the whole
// "\\server\share\" of a UNC name. 0 for a relative path. Nothing above
// the root can be reached by going up a folder.
size_t rootLength(std::string_view path);

// The current folder, ending in a separator; "" when it is unknown.
std::string currentFolder();

// Where `path` really leads: an absolute path (a relative one is taken from
// the current folder) without "." and ".." and with every folder on the way
// resolved through symbolic links, as far as the folders exist; the missing
// rest is only normalised lexically. The last name is followed too when it
// is a link and `lastName` says so, or when the path ends in a separator; otherwise
// it is kept as it is (a rename there replaces the link, not its target).
// "" when the current folder is unknown. Two paths that reach one place give
// one text.
enum class LastName { Kept, Followed };
std::string resolvedPath(const std::string& path, LastName lastName = LastName::Kept);

// Last-write time as seconds since the Unix epoch (UTC).
std::optional<int64_t> lastWriteTime(const std::string& path);
bool setLastWriteTime(const std::string& path, int64_t unixSeconds);

}  // namespace quorbix::platform
