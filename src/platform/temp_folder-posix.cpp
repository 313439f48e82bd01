#include "platform/temp_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <set>
#include <string_view>
#include <vector>

#include "platform/interruption.h"

namespace quorbix::platform {
namespace {

constexpr std::string_view kFolderPrefix = "quorbix-";
constexpr std::string_view kSiblingPrefix = ".quorbix-tmp-";

std::string withSlash(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

// The process id in "<prefix><pid>-<anything>", or 0 for any other name.
long runIdIn(std::string_view name, std::string_view prefix) {
  if (name.substr(0, prefix.size()) != prefix) return 0;
  long id = 0;
  size_t at = prefix.size();
  for (; at < name.size() && at < prefix.size() + 10 && name[at] >= '0' && name[at] <= '9'; ++at) {
    id = id * 10 + (name[at] - '0');
  }
  bool wellFormed = at > prefix.size() && at + 1 < name.size() && name[at] == '-';
  return wellFormed ? id : 0;
}

// A run that no longer exists. Unknown cases count as alive.
bool isDeadRun(long id) {
  return id > 0 && id != ::getpid() && ::kill(static_cast<pid_t>(id), 0) != 0 && errno == ESRCH;
}

// Removes the entries of `folder` named "<prefix><pid>-..." of dead runs
// that are this user's folders (`folders`) or regular files.
void removeDeadRunsIn(const std::string& folder, std::string_view prefix, bool folders) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!isDeadRun(runIdIn(entry->d_name, prefix))) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (st.st_uid != ::getuid()) continue;
    if (folders && S_ISDIR(st.st_mode)) {
      std::error_code ignored;
      std::filesystem::remove_all(folder + entry->d_name, ignored);  // does not follow links
    } else if (!folders && S_ISREG(st.st_mode)) {
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
  }
  ::closedir(dir);
}

// The first call for a folder in this run cleans it; later calls do nothing.
void removeDeadSiblingsOnce(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> cleaned;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!cleaned.insert(folder).second) return;
  }
  removeDeadRunsIn(folder, kSiblingPrefix, false);
}

std::string madeFolder(const std::string& base) {
  std::string pattern = withSlash(base) + std::string(kFolderPrefix) + std::to_string(::getpid()) + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  std::string made = makeRemovedOnStop([&]() -> std::string {
    return ::mkdtemp(buffer.data()) == nullptr ? "" : buffer.data();  // mkdtemp makes it 0700
  });
  return made.empty() ? "" : made + "/";
}

std::vector<std::string> temporaryBases() {
  std::vector<std::string> bases;
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && tmpdir[0] == '/') bases.push_back(withSlash(tmpdir));
  if (bases.empty() || bases[0] != "/tmp/") bases.push_back("/tmp/");
  return bases;
}

std::string randomSuffix() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[8] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    // Without the kernel's source, time and process id still make collisions
    // rare; O_EXCL below keeps them harmless.
    static unsigned counter = 0;
    unsigned long mix = static_cast<unsigned long>(::getpid()) * 2654435761u + ++counter +
                        static_cast<unsigned long>(::time(nullptr));
    for (unsigned char& b : bytes) {
      b = static_cast<unsigned char>(mix);
      mix = mix * 6364136223846793005ull + 1442695040888963407ull;
    }
  }
  std::string suffix;
  for (unsigned char b : bytes) suffix += kLetters[b % (sizeof kLetters - 1)];
  return suffix;
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
  for (const std::string& base : temporaryBases()) {
    path_ = madeFolder(base);
    if (!path_.empty()) break;
  }
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  const std::string folder = path_.substr(0, path_.size() - 1);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);  // does not follow symbolic links
  forgetRemovedOnStop(folder);
}

void removeLeftoversOfEarlierRuns() {
  for (const std::string& base : temporaryBases()) removeDeadRunsIn(base, kFolderPrefix, true);
}

std::FILE* createSiblingFile(const std::string& path, std::string& temporaryPath) {
  temporaryPath.clear();
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  removeDeadSiblingsOnce(folder);
  const std::string prefix = folder + std::string(kSiblingPrefix) + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = prefix + randomSuffix();
    int fd = -1;
    int error = 0;
    makeRemovedOnStop([&]() -> std::string {
      // 0666 before the umask, like any file the program writes directly.
      fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      error = errno;
      return fd < 0 ? "" : candidate;
    });
    if (fd < 0) {
      if (error == EEXIST) continue;
      return nullptr;
    }
    std::FILE* stream = ::fdopen(fd, "w+b");
    if (stream == nullptr) {
      ::close(fd);
      finishSiblingFile(candidate, path, false);
      return nullptr;
    }
    temporaryPath = candidate;
    return stream;
  }
  return nullptr;
}

bool finishSiblingFile(const std::string& temporaryPath, const std::string& path, bool keep) {
  const bool kept = keep && std::rename(temporaryPath.c_str(), path.c_str()) == 0;
  if (!kept) ::unlink(temporaryPath.c_str());
  forgetRemovedOnStop(temporaryPath);
  return kept;
}

}  // namespace quorbix::platform
