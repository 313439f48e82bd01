#include "platform/staged_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <mutex>
#include <set>
#include <string_view>

#include "platform/dead_runs.h"
#include "platform/interruption.h"

namespace quorbix::platform {
namespace {

constexpr std::string_view kStagingPrefix = ".quorbix-tmp-";
constexpr int kAttempts = 100;

std::string randomSuffix() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[8] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    // Without the kernel's source, time and process id still make collisions
    // rare; O_EXCL keeps them harmless.
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

// The first call for a folder in this run cleans it; later calls do nothing.
void removeDeadSiblingsOnce(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> cleaned;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!cleaned.insert(folder).second) return;
  }
  removeLeftoversOfDeadRuns(folder, kStagingPrefix, LeftoverKind::File);
}

bool syncToDisk(int fd) {
  int result;
  do {
    result = ::fsync(fd);
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

}  // namespace

StagedFile::~StagedFile() { abandon(); }

bool StagedFile::open(const std::string& finalPath) {
  abandon();
  const size_t slash = finalPath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : finalPath.substr(0, slash + 1);
  removeDeadSiblingsOnce(folder);
  const std::string prefix = folder + std::string(kStagingPrefix) + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
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
      return false;
    }
    fd_ = fd;
    finalPath_ = finalPath;
    stagingPath_ = candidate;
    return true;
  }
  return false;
}

bool StagedFile::write(const void* data, size_t length) {
  if (stream_ != nullptr) return std::fwrite(data, 1, length, stream_) == length;
  if (fd_ < 0) return false;
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    ssize_t n = ::write(fd_, bytes, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

std::FILE* StagedFile::stream(size_t bufferSize) {
  if (stream_ != nullptr || fd_ < 0) return stream_;
  auto buffer = std::make_unique<char[]>(bufferSize);
  std::FILE* stream = ::fdopen(fd_, "w+b");
  if (stream == nullptr) return nullptr;
  std::setvbuf(stream, buffer.get(), _IOFBF, bufferSize);
  stream_ = stream;
  buffer_ = std::move(buffer);
  return stream_;
}

bool StagedFile::commit(Flush flush) {
  if (fd_ < 0) return false;
  const bool toDisk = flush == Flush::ToDisk;
  bool ok = true;
  if (stream_ != nullptr) {
    // Buffered bytes reach the file only now (a full disk shows here).
    ok = std::ferror(stream_) == 0 && (!toDisk || (std::fflush(stream_) == 0 && syncToDisk(fd_)));
  } else {
    ok = !toDisk || syncToDisk(fd_);
  }
  ok = close() && ok;
  const bool kept = ok && std::rename(stagingPath_.c_str(), finalPath_.c_str()) == 0;
  if (!kept) ::unlink(stagingPath_.c_str());
  forgetRemovedOnStop(stagingPath_);
  stagingPath_.clear();
  return kept;
}

void StagedFile::abandon() {
  close();
  if (!stagingPath_.empty()) {
    ::unlink(stagingPath_.c_str());
    forgetRemovedOnStop(stagingPath_);
    stagingPath_.clear();
  }
}

bool StagedFile::close() {
  bool ok = true;
  if (stream_ != nullptr) {
    ok = std::fclose(stream_) == 0;  // before its buffer goes
    stream_ = nullptr;
    buffer_.reset();
  } else if (fd_ >= 0) {
    ok = ::close(fd_) == 0;
  }
  fd_ = -1;
  return ok;
}

}  // namespace quorbix::platform
