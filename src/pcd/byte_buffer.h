// ByteBuffer: a byte vector whose resize leaves new bytes uninitialised.
// Picture planes are always written in full before they are read, so
// zero-filling them first would only cost time (a 16Base picture is ~30 MB);
// large blocks ask for huge pages for the same reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "platform/memory_advice.h"

namespace quorbix::pcd {

// Blocks from an eighth of a huge page on are aligned for huge pages and
// marked for them: a Base luma plane (384 KB), a 16Base chroma plane or a
// 4Base luma plane (1.5 MB) would otherwise cost a page fault per 4 KB on
// first touch, against one. This costs a few MB of peak memory.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kHugePageFrom = kHugePage / 8;

template <class T>
struct DefaultInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = DefaultInitAllocator<U>;
  };
  DefaultInitAllocator() = default;
  template <class U>
  DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

  T* allocate(std::size_t n) {
    const std::size_t bytes = n * sizeof(T);
    if (bytes < kHugePageFrom) return std::allocator<T>::allocate(n);
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = platform::allocateAligned(kHugePage, rounded);
    if (p == nullptr) throw std::bad_alloc();
    platform::preferHugePages(p, rounded);
    return static_cast<T*>(p);
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n * sizeof(T) < kHugePageFrom) {
      std::allocator<T>::deallocate(p, n);
    } else {
      platform::freeAligned(p);
    }
  }

  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;  // default-initialisation: no zeroing
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

using ByteBuffer = std::vector<uint8_t, DefaultInitAllocator<uint8_t>>;

}  // namespace quorbix::pcd
