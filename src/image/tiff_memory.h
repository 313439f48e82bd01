// libtiff over bytes in memory: a TIFF read from, written into or updated in
// a byte buffer, so that a picture is encoded away from the disk (on any
// thread, before its file's turn) and its file gets the bytes in one go.
#pragma once

#include <cstddef>

#include "image/memory_file.h"
#include "pcd/byte_buffer.h"

typedef struct tiff TIFF;  // libtiff's handle, as <tiffio.h> names it

namespace quorbix {

class MemoryTiff {
 public:
  // Reads the TIFF in `bytes`.
  explicit MemoryTiff(const pcd::ByteBuffer& bytes);
  // Opens `bytes` with libtiff's `mode`: "w" writes from the start, "r+"
  // updates in place (libtiff puts a rewritten directory at the end).
  // libtiff's warnings go to the program's handler, or are dropped with
  // `quiet`; its errors always go there.
  MemoryTiff(pcd::ByteBuffer& bytes, const char* mode, bool quiet = false);
  // The bytes must outlive the object.
  ~MemoryTiff();
  MemoryTiff(const MemoryTiff&) = delete;
  MemoryTiff& operator=(const MemoryTiff&) = delete;

  // nullptr when libtiff could not open the bytes.
  TIFF* get() const { return tiff_; }

  // Closes the TIFF (one being written gets its directory); true when
  // every write went into memory.
  bool close();

  // What libtiff's callbacks use.
  MemoryFile file;
  bool writeFailed = false;  // no memory for the bytes, or a write to read-only bytes

 private:
  void open(const char* mode, bool quiet);

  TIFF* tiff_ = nullptr;
};

}  // namespace quorbix
