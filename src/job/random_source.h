// The source of the run's random numbers ("%rnd%"): uniform integers from 1
// to 99999. Injected into the worker so tests can fix the sequence.
#pragma once

#include <cstdint>
#include <functional>

namespace quorbix {

using RandomSource = std::function<int32_t()>;

// A generator seeded from the system's entropy source. Use from one thread.
RandomSource makeRandomSource();

}  // namespace quorbix
