// Hints to the system about large memory blocks. Hints only: ignoring them
// changes speed, never results.
#pragma once

#include <cstddef>

namespace quorbix::platform {

// Asks for `length` bytes at `start` (best 2 MiB-aligned) to be backed by huge
// pages, so filling a picture of tens of megabytes costs a few page faults
// instead of thousands.
void preferHugePages(void* start, std::size_t length);

// A block of `bytes` (a multiple of `alignment`, a power of two) aligned to
// `alignment`, or nullptr when there is no memory for it; given back with
// freeAligned only.
void* allocateAligned(std::size_t alignment, std::size_t bytes);
void freeAligned(void* block);

}  // namespace quorbix::platform
