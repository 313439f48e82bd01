// Large memory blocks: aligned allocation, and hints to the system about
// them. Hints only: ignoring them changes speed, never results.
#pragma once

#include <cstddef>
#include <memory>

namespace quorbix::platform {

// Asks for `length` bytes at `start` (best 2 MiB-aligned) to be backed by huge
// pages, so filling a picture of tens of megabytes costs a few page faults
// instead of thousands.
void preferHugePages(void* start, std::size_t length);

// `length` bytes aligned to `alignment` (a power of two that divides
// `length`); nullptr when there is not enough memory. Given back only with
// freeAligned.
void* allocateAligned(std::size_t alignment, std::size_t length);
void freeAligned(void* block);

// For a std::unique_ptr of a block from allocateAligned.
struct FreeAligned {
  void operator()(void* block) const { freeAligned(block); }
};
using AlignedBlock = std::unique_ptr<char, FreeAligned>;

// A page-aligned buffer of at least `length` bytes for a file stream; empty
// when there is not enough memory. On Windows a large one is kept for the
// next file once given back.
inline AlignedBlock allocateStreamBuffer(std::size_t length) {
  constexpr std::size_t kPage = 4096;
  return AlignedBlock(static_cast<char*>(allocateAligned(kPage, (length + kPage - 1) / kPage * kPage)));
}

}  // namespace quorbix::platform
