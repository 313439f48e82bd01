#include "image/tiff_memory.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <new>

namespace quorbix {
namespace {

MemoryTiff& memoryOf(thandle_t handle) { return *static_cast<MemoryTiff*>(handle); }

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryTiff& m = memoryOf(handle);
  if (size < 0) return -1;
  const pcd::ByteBuffer& bytes = *m.content;
  const size_t available = m.position < bytes.size() ? bytes.size() - m.position : 0;
  const size_t count = std::min(static_cast<size_t>(size), available);
  if (count > 0) std::memcpy(buffer, bytes.data() + m.position, count);
  m.position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t writeMemory(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryTiff& m = memoryOf(handle);
  if (size < 0 || m.writable == nullptr) {
    m.writeFailed = true;
    return -1;
  }
  pcd::ByteBuffer& bytes = *m.writable;
  const size_t count = static_cast<size_t>(size);
  const size_t end = bytes.size();
  try {
    if (end < m.position + count) {
      // Grown by half at least, so that strip after strip costs few copies.
      if (bytes.capacity() < m.position + count) bytes.reserve(std::max(m.position + count, end * 3 / 2));
      bytes.resize(m.position + count);
    }
  } catch (const std::bad_alloc&) {
    m.writeFailed = true;
    return -1;
  }
  // Bytes skipped by a seek past the end (libtiff aligns what it adds)
  // are zeros, as in a file.
  if (m.position > end) std::memset(bytes.data() + end, 0, m.position - end);
  if (count > 0) std::memcpy(bytes.data() + m.position, buffer, count);
  m.position += count;
  return size;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence) {
  MemoryTiff& m = memoryOf(handle);
  uint64_t base = 0;
  if (whence == SEEK_CUR) base = m.position;
  if (whence == SEEK_END) base = m.content->size();
  m.position = static_cast<size_t>(base + offset);
  return static_cast<toff_t>(m.position);
}

int closeMemory(thandle_t) { return 0; }  // the bytes stay their owner's

toff_t sizeMemory(thandle_t handle) { return static_cast<toff_t>(memoryOf(handle).content->size()); }

int mapMemory(thandle_t, void**, toff_t*) { return 0; }
void unmapMemory(thandle_t, void*, toff_t) {}

// libtiff's warnings while it rewrites a directory repeat what it said when
// the directory was first written ("legacy Deflate codec identifier"...).
int dropWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

}  // namespace

MemoryTiff::MemoryTiff(const pcd::ByteBuffer& bytes) : content(&bytes), writable(nullptr) { open("rm", false); }

MemoryTiff::MemoryTiff(pcd::ByteBuffer& bytes, const char* mode, bool quiet) : content(&bytes), writable(&bytes) {
  open(mode, quiet);
}

void MemoryTiff::open(const char* mode, bool quiet) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (options == nullptr) return;
  if (quiet) TIFFOpenOptionsSetWarningHandlerExtR(options, dropWarning, nullptr);
  tiff_ = TIFFClientOpenExt("picture", mode, static_cast<thandle_t>(this), readMemory, writeMemory, seekMemory,
                            closeMemory, sizeMemory, mapMemory, unmapMemory, options);
  TIFFOpenOptionsFree(options);
}

MemoryTiff::~MemoryTiff() { close(); }

bool MemoryTiff::close() {
  if (tiff_ != nullptr) {
    TIFFClose(tiff_);
    tiff_ = nullptr;
  }
  return !writeFailed;
}

}  // namespace quorbix
