#include "platform/staged_file.h"

#include <cerrno>
#include <mutex>
#include <set>
#include <string_view>

#include "platform/dead_runs.h"
#include "platform/interruption.h"
#include "platform/staged_file_system.h"

namespace quorbix::platform {
namespace {

constexpr std::string_view kStagingPrefix = ".quorbix-tmp-";
constexpr int kAttempts = 100;

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

}  // namespace

StagedFile::~StagedFile() { abandon(); }

bool StagedFile::failed() {
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
  return false;
}

int StagedFile::systemError(int seen) {
  if (error_ == 0 && stream_ != nullptr && std::ferror(stream_) != 0) {
    if (seen != 0) {
      error_ = seen;
    } else {
      // Flushing again asks the system once more why.
      errno = 0;
      std::fflush(stream_);
      failed();
    }
  }
  return error_;
}

bool StagedFile::open(const std::string& finalPath) {
  abandon();
  error_ = 0;
  const std::string folder = staging::folderOf(finalPath);
  removeDeadSiblingsOnce(folder);
  const std::string prefix = folder + std::string(kStagingPrefix) + std::to_string(staging::processId()) + "-";
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string candidate = prefix + staging::randomSuffix();
    int fd = -1;
    bool exists = false;
    makeRemovedOnStop([&]() -> std::string {
      fd = staging::createExclusive(candidate, exists);
      return fd < 0 ? "" : candidate;
    });
    if (fd < 0) {
      if (exists) continue;
      return failed();
    }
    fd_ = fd;
    finalPath_ = finalPath;
    stagingPath_ = candidate;
    return true;
  }
  errno = EEXIST;
  return failed();
}

bool StagedFile::write(const void* data, size_t length) {
  if (fd_ < 0) return false;
  const bool written = stream_ != nullptr ? std::fwrite(data, 1, length, stream_) == length
                                          : staging::writeAll(fd_, data, length);
  return written || failed();
}

std::FILE* StagedFile::stream(size_t bufferSize) {
  if (stream_ != nullptr || fd_ < 0) return stream_;
  AlignedBlock buffer = allocateStreamBuffer(bufferSize);
  if (!buffer) return nullptr;
  std::FILE* stream = staging::openStream(fd_);
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
    if (std::ferror(stream_) != 0) ok = systemError() == 0;
    if (ok && toDisk) ok = (std::fflush(stream_) == 0 && staging::syncToDisk(fd_)) || failed();
  } else if (toDisk) {
    ok = staging::syncToDisk(fd_) || failed();
  }
  ok = (close() || failed()) && ok;
  const bool kept = ok && (staging::replaceFile(stagingPath_, finalPath_) || failed());
  if (!kept) staging::removeFile(stagingPath_);
  forgetRemovedOnStop(stagingPath_);
  stagingPath_.clear();
  return kept;
}

void StagedFile::abandon() {
  close();
  if (!stagingPath_.empty()) {
    staging::removeFile(stagingPath_);
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
    ok = staging::closeDescriptor(fd_);
  }
  fd_ = -1;
  return ok;
}

}  // namespace quorbix::platform
