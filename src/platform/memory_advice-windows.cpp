#include "platform/memory_advice.h"

namespace quorbix::platform {

// Large pages on Windows need a privilege ordinary users lack and must be
// asked for when the memory is reserved: no hint to give afterwards.
void preferHugePages(void*, std::size_t) {}

}  // namespace quorbix::platform
