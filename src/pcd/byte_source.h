// ByteSource: read-only random access to the bytes of one PhotoCD file. The
// decoder reads only through it, so the same code runs on a file (the
// converter) and on memory (tests, the fuzzer). A read that reaches past the
// end fails; nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quorbix::platform {
class RandomAccessFile;
}

namespace quorbix::pcd {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Reads exactly `length` bytes at `offset`; false when they are not all there.
  virtual bool read(uint64_t offset, uint8_t* into, size_t length) const = 0;
};

// Bytes held by the caller, who keeps them alive while the source is used.
class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t size() const override { return size_; }
  bool read(uint64_t offset, uint8_t* into, size_t length) const override;

 private:
  const uint8_t* data_;
  size_t size_;
};

// A file on disk.
class FileByteSource : public ByteSource {
 public:
  // nullptr when the file cannot be opened for reading.
  static std::unique_ptr<FileByteSource> open(const std::string& path);
  ~FileByteSource() override;
  uint64_t size() const override;
  bool read(uint64_t offset, uint8_t* into, size_t length) const override;

 private:
  explicit FileByteSource(std::unique_ptr<platform::RandomAccessFile> file);
  std::unique_ptr<platform::RandomAccessFile> file_;
};

}  // namespace quorbix::pcd
