#include "platform/temp_folder.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

namespace quorbix::platform {
namespace {

std::string madeFolder(const std::string& base) {
  std::string pattern = base + (base.back() == '/' ? "" : "/") + "quorbix-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (::mkdtemp(buffer.data()) == nullptr) return "";  // mkdtemp makes it 0700
  return std::string(buffer.data()) + "/";
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
  const char* tmpdir = std::getenv("TMPDIR");
  if (tmpdir != nullptr && tmpdir[0] == '/') path_ = madeFolder(tmpdir);
  if (path_.empty()) path_ = madeFolder("/tmp");
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);  // does not follow symbolic links
}

std::FILE* createSiblingFile(const std::string& path, std::string& temporaryPath) {
  temporaryPath.clear();
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = folder + ".quorbix-tmp-" + randomSuffix();
    // 0666 before the umask, like any file the program writes directly.
    int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    std::FILE* stream = ::fdopen(fd, "w+b");
    if (stream == nullptr) {
      ::close(fd);
      ::unlink(candidate.c_str());
      return nullptr;
    }
    temporaryPath = candidate;
    return stream;
  }
  return nullptr;
}

}  // namespace quorbix::platform
