#include "platform/memory_advice.h"

#include <sys/mman.h>

#include <cstdlib>

namespace quorbix::platform {

void preferHugePages(void* start, std::size_t length) {
#ifdef MADV_HUGEPAGE
  ::madvise(start, length, MADV_HUGEPAGE);
#else
  (void)start;
  (void)length;
#endif
}

void* allocateAligned(std::size_t alignment, std::size_t bytes) { return std::aligned_alloc(alignment, bytes); }

void freeAligned(void* block) { std::free(block); }

}  // namespace quorbix::platform
