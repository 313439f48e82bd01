#include "platform/memory_advice.h"

#include <malloc.h>

namespace quorbix::platform {

// Large pages on Windows need a privilege ordinary users lack and must be
// asked for when the memory is reserved: no hint to give afterwards.
void preferHugePages(void*, std::size_t) {}

// The C runtime here has no aligned_alloc. In quorbix.exe its aligned
// allocator is the picture memory (picture_memory-windows.cpp), which keeps
// large blocks for the next picture; the converter has the runtime's own.
void* allocateAligned(std::size_t alignment, std::size_t length) { return ::__mingw_aligned_malloc(length, alignment); }

void freeAligned(void* block) { ::__mingw_aligned_free(block); }

}  // namespace quorbix::platform
