#include "platform/staged_file.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>
#include <string_view>

#include "platform/dead_runs.h"
#include "platform/interruption.h"
#include "platform/wide_text-windows.h"

namespace quorbix::platform {
namespace {

constexpr std::string_view kStagingPrefix = ".quorbix-tmp-";
constexpr int kAttempts = 100;

// Unpredictable enough for a name: _O_EXCL keeps collisions harmless.
std::string randomSuffix() {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<unsigned> counter{0};
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  unsigned long long mix = static_cast<unsigned long long>(now.QuadPart) ^
                           (static_cast<unsigned long long>(::GetCurrentProcessId()) << 32) ^
                           (static_cast<unsigned long long>(++counter) * 2654435761u);
  std::string suffix;
  for (int i = 0; i < 8; ++i) {
    mix = mix * 6364136223846793005ull + 1442695040888963407ull;
    // Letters of one case only: Windows names ignore case.
    suffix += kLetters[(mix >> 33) % (sizeof kLetters - 1)];
  }
  return suffix;
}

void removeDeadSiblingsOnce(const std::string& folder) {
  static std::mutex mutex;
  static std::set<std::string> cleaned;
  {
    std::lock_guard<std::mutex> lock(mutex);
    if (!cleaned.insert(folder).second) return;
  }
  removeLeftoversOfDeadRuns(folder, kStagingPrefix, LeftoverKind::File);
}

bool moveOver(const std::string& from, const std::string& to) {
  return ::MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

StagedFile::~StagedFile() { abandon(); }

bool StagedFile::open(const std::string& finalPath) {
  abandon();
  const size_t separator = finalPath.find_last_of("\\/");
  const std::string folder = separator == std::string::npos ? std::string() : finalPath.substr(0, separator + 1);
  removeDeadSiblingsOnce(folder);
  const std::string prefix =
      folder + std::string(kStagingPrefix) + std::to_string(::GetCurrentProcessId()) + "-";
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string candidate = prefix + randomSuffix();
    int fd = -1;
    int error = 0;
    makeRemovedOnStop([&]() -> std::string {
      // Not inherited: the converter must not hold it open.
      fd = ::_wopen(widePath(candidate).c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
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
    const unsigned chunk = static_cast<unsigned>(length < (1u << 30) ? length : (1u << 30));
    const int n = ::_write(fd_, bytes, chunk);
    if (n <= 0) return false;
    bytes += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

std::FILE* StagedFile::stream(size_t bufferSize) {
  if (stream_ != nullptr || fd_ < 0) return stream_;
  auto buffer = std::make_unique<char[]>(bufferSize);
  std::FILE* stream = ::_fdopen(fd_, "w+b");
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
    ok = std::ferror(stream_) == 0 && (!toDisk || (std::fflush(stream_) == 0 && ::_commit(fd_) == 0));
  } else {
    ok = !toDisk || ::_commit(fd_) == 0;
  }
  ok = close() && ok;
  const bool kept = ok && moveOver(stagingPath_, finalPath_);
  if (!kept) ::DeleteFileW(widePath(stagingPath_).c_str());
  forgetRemovedOnStop(stagingPath_);
  stagingPath_.clear();
  return kept;
}

void StagedFile::abandon() {
  close();
  if (!stagingPath_.empty()) {
    ::DeleteFileW(widePath(stagingPath_).c_str());
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
    ok = ::_close(fd_) == 0;
  }
  fd_ = -1;
  return ok;
}

}  // namespace quorbix::platform
