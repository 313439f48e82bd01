#include "platform/memory_advice.h"

#include <malloc.h>

namespace quorbix::platform {

// Large pages on Windows need a privilege ordinary users lack and must be
// asked for when the memory is reserved: no hint to give afterwards.
void preferHugePages(void*, std::size_t) {}

// The C runtime has no aligned_alloc; its own aligned blocks need their own free.
void* allocateAligned(std::size_t alignment, std::size_t bytes) { return ::_aligned_malloc(bytes, alignment); }

void freeAligned(void* block) { ::_aligned_free(block); }

}  // namespace quorbix::platform
