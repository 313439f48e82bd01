#include "pcd/byte_source.h"

#include <cstring>

#include "platform/random_access_file.h"

namespace quorbix::pcd {

bool MemoryByteSource::read(uint64_t offset, uint8_t* into, size_t length) const {
  if (offset > size_ || length > size_ - offset) return false;
  if (length > 0) std::memcpy(into, data_ + offset, length);
  return true;
}

std::unique_ptr<FileByteSource> FileByteSource::open(const std::string& path) {
  auto file = platform::RandomAccessFile::open(path);
  if (!file) return nullptr;
  return std::unique_ptr<FileByteSource>(new FileByteSource(std::move(file)));
}

FileByteSource::FileByteSource(std::unique_ptr<platform::RandomAccessFile> file)
    : file_(std::move(file)) {}
FileByteSource::~FileByteSource() = default;

uint64_t FileByteSource::size() const { return file_->size(); }

bool FileByteSource::read(uint64_t offset, uint8_t* into, size_t length) const {
  uint64_t total = file_->size();
  if (offset > total || length > total - offset) return false;
  return file_->readAt(offset, into, length);
}

}  // namespace quorbix::pcd
