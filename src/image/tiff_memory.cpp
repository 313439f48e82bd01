#include "image/tiff_memory.h"

#include <tiffio.h>

#include <cstdarg>

namespace quorbix {
namespace {

MemoryTiff& memoryOf(thandle_t handle) { return *static_cast<MemoryTiff*>(handle); }

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size) {
  if (size < 0) return -1;
  return static_cast<tmsize_t>(memoryOf(handle).file.read(buffer, static_cast<size_t>(size)));
}

tmsize_t writeMemory(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryTiff& m = memoryOf(handle);
  // libtiff aligns what it adds: bytes it skips are zeros, as in a file.
  if (size < 0 || !m.file.write(buffer, static_cast<size_t>(size))) {
    m.writeFailed = true;
    return -1;
  }
  return size;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence) {
  MemoryFile& file = memoryOf(handle).file;
  file.seek(static_cast<int64_t>(offset), whence);
  return static_cast<toff_t>(file.position);
}

int closeMemory(thandle_t) { return 0; }  // the bytes stay their owner's

toff_t sizeMemory(thandle_t handle) { return static_cast<toff_t>(memoryOf(handle).file.content->size()); }

int mapMemory(thandle_t, void**, toff_t*) { return 0; }
void unmapMemory(thandle_t, void*, toff_t) {}

// libtiff's warnings while it rewrites a directory repeat what it said when
// the directory was first written ("legacy Deflate codec identifier"...).
int dropWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

}  // namespace

MemoryTiff::MemoryTiff(const pcd::ByteBuffer& bytes) : file(bytes) { open("rm", false); }

MemoryTiff::MemoryTiff(pcd::ByteBuffer& bytes, const char* mode, bool quiet) : file(bytes) {
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
