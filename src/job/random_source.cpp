#include "job/random_source.h"

#include <memory>
#include <random>

namespace quorbix {

RandomSource makeRandomSource() {
  std::random_device device;
  auto engine = std::make_shared<std::mt19937>(device());
  return [engine]() {
    std::uniform_int_distribution<int32_t> range(1, 99999);
    return range(*engine);
  };
}

}  // namespace quorbix
