#include "platform/processor.h"

namespace quorbix::platform {

bool hasAvx2() {
#if defined(QUORBIX_AVX2_PATHS)
  static const bool have = __builtin_cpu_supports("avx2") != 0;
  return have;
#else
  return false;
#endif
}

}  // namespace quorbix::platform
