#include "image/memory_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace quorbix {

size_t MemoryFile::read(void* buffer, size_t length) {
  const size_t count = std::min(length, available());
  if (count > 0) std::memcpy(buffer, content->data() + position, count);
  position += count;
  return count;
}

bool MemoryFile::write(const void* buffer, size_t length) {
  if (writable == nullptr) return false;
  pcd::ByteBuffer& bytes = *writable;
  const size_t end = bytes.size();
  try {
    if (end < position + length) {
      if (bytes.capacity() < position + length) bytes.reserve(std::max(position + length, end * 3 / 2));
      bytes.resize(position + length);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (position > end) std::memset(bytes.data() + end, 0, position - end);
  if (length > 0) std::memcpy(bytes.data() + position, buffer, length);
  position += length;
  return true;
}

bool MemoryFile::seek(int64_t offset, int origin) {
  int64_t base = 0;
  if (origin == SEEK_CUR) base = static_cast<int64_t>(position);
  if (origin == SEEK_END) base = static_cast<int64_t>(content->size());
  if (base + offset < 0) return false;
  position = static_cast<size_t>(base + offset);
  return true;
}

}  // namespace quorbix
