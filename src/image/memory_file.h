// A file held in a byte buffer, read, written and sought as a file on disk
// is: what the libraries that write pictures through callbacks (FreeImage,
// libtiff) are given, so that a picture is encoded away from the disk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pcd/byte_buffer.h"

namespace quorbix {

struct MemoryFile {
  // Read only.
  explicit MemoryFile(const pcd::ByteBuffer& bytes) : content(&bytes) {}
  // Read and written.
  explicit MemoryFile(pcd::ByteBuffer& bytes) : content(&bytes), writable(&bytes) {}

  size_t available() const { return position < content->size() ? content->size() - position : 0; }
  // Up to `length` bytes from the position; how many there were.
  size_t read(void* buffer, size_t length);
  // `length` bytes at the position, the bytes growing as needed (by half at
  // least, so that piece after piece costs few copies; bytes skipped by a
  // seek past the end are zeros). False for read-only bytes or when memory
  // ran out.
  bool write(const void* buffer, size_t length);
  // To `offset` from the start (SEEK_SET), the position (SEEK_CUR) or the
  // end (SEEK_END); false, and the position kept, before the start.
  bool seek(int64_t offset, int origin);

  const pcd::ByteBuffer* content;
  pcd::ByteBuffer* writable = nullptr;
  size_t position = 0;
};

}  // namespace quorbix
