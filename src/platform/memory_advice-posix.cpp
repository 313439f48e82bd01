#include "platform/memory_advice.h"

#include <sys/mman.h>

namespace quorbix::platform {

void preferHugePages(void* start, std::size_t length) {
#ifdef MADV_HUGEPAGE
  ::madvise(start, length, MADV_HUGEPAGE);
#else
  (void)start;
  (void)length;
#endif
}

}  // namespace quorbix::platform
