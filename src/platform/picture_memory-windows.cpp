// Memory for FreeImage's pictures on Windows. FreeImage takes the pixels of
// every picture from the MinGW runtime's aligned allocator; this file
// provides that allocator for the executables that link the image layer
// (its library asks the linker for it before the runtime's own is seen).
// The converter does not: it makes one picture and ends, so there is
// nothing to keep, and a section costs more to make and to fill than the
// runtime's memory.
//
// Why: a picture of 16Base is 18 MB and a run makes one per file. The C
// runtime gives such blocks back to the system when freed, so the next file
// takes every page fresh again, one fault per 4 KB page. Here blocks of a
// megabyte and more are views of page-file-backed sections that are kept
// for the next picture once given back. A shared view also stays out of
// copy-on-write: Wine starts each converter by forking the program, after
// which every private page written costs a fault and a copy, while a
// shared one does not. Smaller blocks come from the C runtime as before.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kLargeBlock = std::size_t{1} << 20;
// At most this many blocks, and this much memory, are kept for reuse; more
// is given back at once.
constexpr int kKeptBlocks = 8;
constexpr std::size_t kKeptBytes = std::size_t{512} << 20;

// What was allocated or mapped: a section's view with its length, or a
// block of the C runtime (length 0). One sits right before every block
// handed out; an empty one (base nullptr) is a free place in the store.
struct Block {
  void* base = nullptr;
  std::size_t length = 0;
};

SRWLOCK keptLock = SRWLOCK_INIT;
Block kept[kKeptBlocks];
std::size_t keptBytes = 0;

void* mapSection(std::size_t length) {
  const auto high = static_cast<DWORD>(static_cast<std::uint64_t>(length) >> 32);
  const auto low = static_cast<DWORD>(length & 0xffffffffu);
  HANDLE section = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, high, low, nullptr);
  if (section == nullptr) return nullptr;
  void* view = ::MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, length);
  ::CloseHandle(section);  // the view keeps the section
  return view;
}

// The smallest kept block of at least `length` and at most twice that, taken
// out of the store; nullptr when there is none.
Block takeKept(std::size_t length) {
  Block found;
  ::AcquireSRWLockExclusive(&keptLock);
  int best = -1;
  for (int i = 0; i < kKeptBlocks; ++i) {
    const Block& k = kept[i];
    if (k.base == nullptr || k.length < length || k.length / 2 > length) continue;
    if (best < 0 || k.length < kept[best].length) best = i;
  }
  if (best >= 0) {
    found = kept[best];
    kept[best] = Block();
    keptBytes -= found.length;
  }
  ::ReleaseSRWLockExclusive(&keptLock);
  return found;
}

bool keep(void* base, std::size_t length) {
  bool stored = false;
  ::AcquireSRWLockExclusive(&keptLock);
  if (keptBytes + length <= kKeptBytes) {
    for (Block& k : kept) {
      if (k.base != nullptr) continue;
      k.base = base;
      k.length = length;
      keptBytes += length;
      stored = true;
      break;
    }
  }
  ::ReleaseSRWLockExclusive(&keptLock);
  return stored;
}

}  // namespace

extern "C" void* __mingw_aligned_malloc(std::size_t size, std::size_t alignment) {
  if (alignment == 0 || (alignment & (alignment - 1)) != 0) return nullptr;
  if (alignment < alignof(Block)) alignment = alignof(Block);
  // Room for the header before the block and for moving it to its alignment.
  const std::size_t extra = sizeof(Block) + alignment;
  if (size > SIZE_MAX - extra) return nullptr;
  const std::size_t wanted = size + extra;

  Block header;
  if (wanted >= kLargeBlock) {
    header = takeKept(wanted);
    if (header.base == nullptr) header = {mapSection(wanted), wanted};
  } else {
    header = {std::malloc(wanted), 0};
  }
  if (header.base == nullptr) return nullptr;
  const auto first = reinterpret_cast<std::uintptr_t>(header.base) + sizeof(Block);
  auto* user = reinterpret_cast<Block*>((first + alignment - 1) & ~(std::uintptr_t{alignment} - 1));
  user[-1] = header;
  return user;
}

extern "C" void __mingw_aligned_free(void* block) {
  if (block == nullptr) return;
  const Block header = static_cast<Block*>(block)[-1];
  if (header.length == 0) {
    std::free(header.base);
  } else if (!keep(header.base, header.length)) {
    ::UnmapViewOfFile(header.base);
  }
}
