// RandomAccessFile: a regular file opened read-only for reads at any offset
// (the PhotoCD decoder reads a header here and a plane there, never the
// whole file). Not shared between threads; nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quorbix::platform {

class RandomAccessFile {
 public:
  // Opens `path`; nullptr when it is missing, unreadable or not a regular file.
  static std::unique_ptr<RandomAccessFile> open(const std::string& path);
  ~RandomAccessFile();
  RandomAccessFile(const RandomAccessFile&) = delete;
  RandomAccessFile& operator=(const RandomAccessFile&) = delete;

  // Size of the file when it was opened.
  uint64_t size() const { return size_; }

  // Reads exactly `length` bytes at `offset`; false on a short read or error.
  bool readAt(uint64_t offset, void* into, size_t length) const;

 private:
  RandomAccessFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  int fd_;
  uint64_t size_;
};

}  // namespace quorbix::platform
