#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace quorbix::platform {

PathInfo pathInfo(const std::string& path) {
  PathInfo info;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return info;
  if (S_ISREG(st.st_mode)) {
    info.kind = PathKind::File;
    info.size = static_cast<uint64_t>(st.st_size);
  } else if (S_ISDIR(st.st_mode)) {
    info.kind = PathKind::Folder;
  } else {
    info.kind = PathKind::Other;
  }
  return info;
}

bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
  entries.clear();
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  while (struct dirent* e = ::readdir(dir)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry entry;
    entry.name = name;
    struct stat lst {};
    if (::lstat((base + name).c_str(), &lst) == 0) {
      if (S_ISDIR(lst.st_mode)) {
        entry.isFolder = true;
      } else if (S_ISLNK(lst.st_mode)) {
        struct stat st {};
        entry.isLinkToFolder = ::stat((base + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }
    }
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return true;
}

bool readWholeFile(const std::string& path, std::string& contents, uint64_t maxBytes) {
  contents.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return false;
  }
  contents.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      contents.clear();
      return false;
    }
    if (n == 0) break;
    if (contents.size() + static_cast<size_t>(n) > maxBytes) {
      ::close(fd);
      contents.clear();
      return false;
    }
    contents.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

bool writeWholeFile(const std::string& path, const std::string& contents) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < contents.size()) {
    ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return ::close(fd) == 0;
}

bool createFolder(const std::string& path) { return ::mkdir(path.c_str(), 0777) == 0; }

bool deleteFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool flushFolderToDisk(const std::string& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int result;
  do {
    result = ::fsync(fd);
  } while (result != 0 && errno == EINTR);
  ::close(fd);
  return result == 0;
}

bool renameFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool isAbsolutePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

bool isRootedPath(std::string_view path) { return isAbsolutePath(path); }

size_t rootLength(std::string_view path) { return isAbsolutePath(path) ? 1 : 0; }

std::string currentFolder() {
  std::vector<char> buffer(4096);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
      std::string folder = buffer.data();
      if (folder.empty() || folder.back() != '/') folder += '/';
      return folder;
    }
    if (errno != ERANGE || buffer.size() >= (size_t{1} << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
}

namespace {

// The path with every link and "." or ".." resolved, or nullopt when some
// part of it is missing.
std::optional<std::string> realPath(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return std::nullopt;
  std::string result = real;
  std::free(real);
  return result;
}

// The names of `path` between its slashes, empty ones left out.
std::vector<std::string> namesOf(const std::string& path) {
  std::vector<std::string> names;
  for (size_t start = 0; start <= path.size();) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) names.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return names;
}

// "/" followed by the first `count` names.
std::string joined(const std::vector<std::string>& names, size_t count) {
  std::string path;
  for (size_t i = 0; i < count; ++i) path += "/" + names[i];
  return path.empty() ? "/" : path;
}

}  // namespace

std::string resolvedPath(const std::string& path, LastName lastName) {
  std::string absolute = path;
  if (path.empty() || path.front() != '/') {
    const std::string current = currentFolder();
    if (current.empty()) return "";
    absolute = current + path;
  }
  const bool followLast = lastName == LastName::Followed || (!path.empty() && path.back() == '/');
  if (followLast) {
    if (std::optional<std::string> real = realPath(absolute)) return *real;
  }
  // The deepest folder on the way that exists, resolved in one step (links
  // and ".." in it as the system sees them); the rest, missing or the last
  // name kept as it is, is added lexically.
  const std::vector<std::string> names = namesOf(absolute);
  size_t resolved = names.empty() ? 0 : names.size() - 1;
  std::string result = "/";
  for (; resolved > 0; --resolved) {
    if (std::optional<std::string> real = realPath(joined(names, resolved))) {
      result = *real;
      break;
    }
  }
  for (size_t i = resolved; i < names.size(); ++i) {
    if (names[i] == ".") continue;
    if (names[i] == "..") {
      result.erase(std::max<size_t>(result.rfind('/'), 1));
      continue;
    }
    result += (result == "/" ? "" : "/") + names[i];
  }
  return result;
}

std::optional<int64_t> lastWriteTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return static_cast<int64_t>(st.st_mtim.tv_sec);
}

bool setLastWriteTime(const std::string& path, int64_t unixSeconds) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // leave the access time alone
  times[1].tv_sec = static_cast<time_t>(unixSeconds);
  times[1].tv_nsec = 0;
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace quorbix::platform
