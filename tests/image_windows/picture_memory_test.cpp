// On Windows the pixels of FreeImage's pictures come from the program's own
// aligned allocator, which keeps large blocks for the next picture.
#include <windows.h>

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

bool aligned(const void* p, std::size_t alignment) {
  return reinterpret_cast<std::uintptr_t>(p) % alignment == 0;
}

TEST(PictureMemory, APictureGivenBackLeavesItsBlockClearedForTheNext) {
  FIBITMAP* first = FreeImage_Allocate(3072, 2048, 24);
  ASSERT_NE(first, nullptr);
  BYTE* bits = FreeImage_GetBits(first);
  // A view of a section, not the C runtime's heap: the program's allocator
  // is the one FreeImage was linked with.
  MEMORY_BASIC_INFORMATION info{};
  ASSERT_NE(::VirtualQuery(bits, &info, sizeof info), 0u);
  EXPECT_EQ(info.Type, static_cast<DWORD>(MEM_MAPPED));
  const std::size_t bytes = static_cast<std::size_t>(FreeImage_GetPitch(first)) * 2048;
  std::memset(bits, 0xab, bytes);
  FreeImage_Unload(first);

  FIBITMAP* second = FreeImage_Allocate(3072, 2048, 24);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(FreeImage_GetBits(second), bits);  // the same block again
  const BYTE* again = FreeImage_GetBits(second);
  EXPECT_EQ(again[0], 0);
  EXPECT_EQ(again[bytes - 1], 0);
  FreeImage_Unload(second);
}

TEST(PictureMemory, BlocksAreAlignedWritableAndApart) {
  struct Block {
    unsigned char* p;
    std::size_t size;
  };
  std::vector<Block> blocks;
  for (std::size_t alignment : {8u, 16u, 64u, 4096u}) {
    for (std::size_t size : {std::size_t{1}, std::size_t{1000}, std::size_t{1} << 20, std::size_t{5} << 20}) {
      auto* block = static_cast<unsigned char*>(__mingw_aligned_malloc(size, alignment));
      ASSERT_NE(block, nullptr) << size << " / " << alignment;
      EXPECT_TRUE(aligned(block, alignment)) << size << " / " << alignment;
      std::memset(block, static_cast<int>(blocks.size() + 1), size);
      blocks.push_back({block, size});
    }
  }
  // Live blocks never overlap: each still holds its own number at both ends.
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_EQ(blocks[i].p[0], i + 1);
    EXPECT_EQ(blocks[i].p[blocks[i].size - 1], i + 1);
  }
  for (const Block& b : blocks) __mingw_aligned_free(b.p);
  EXPECT_EQ(__mingw_aligned_malloc(16, 3), nullptr);  // not a power of two
  EXPECT_EQ(__mingw_aligned_malloc(16, 0), nullptr);
  __mingw_aligned_free(nullptr);
}

}  // namespace
