#include "pcd/bit_reader.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorbix::pcd {

namespace {
constexpr uint64_t kChunkBytes = 64 * 1024;
}

BitReader::BitReader(const ByteSource& source, uint64_t begin, uint64_t end)
    : source_(source),
      begin_(begin),
      next_(begin),
      end_(std::max(begin, end)),
      totalBits_((end_ - begin) * 8),
      remaining_(totalBits_) {}

void BitReader::seek(uint64_t position) {
  position = std::min(position, totalBits_);
  next_ = begin_ + position / 8;
  chunkPos_ = 0;
  chunkLength_ = 0;
  buffer_ = 0;
  held_ = 0;
  overrun_ = readFailed_;
  const int within = static_cast<int>(position % 8);
  refill();
  buffer_ <<= within;
  held_ -= within;
  remaining_ = totalBits_ - position;
}

void BitReader::refill() {
  if (chunkLength_ - chunkPos_ >= 8) {
    // Fast path: top up from one big-endian 64-bit load. Bits below the
    // whole bytes taken are ORed in again, identically, by the next refill.
    uint64_t word = 0;
    for (int i = 0; i < 8; ++i) word = word << 8 | chunk_[chunkPos_ + static_cast<size_t>(i)];
    buffer_ |= word >> held_;
    chunkPos_ += static_cast<size_t>((63 - held_) >> 3);
    held_ |= 56;
    return;
  }
  while (held_ <= 56) {
    if (chunkPos_ == chunkLength_) {
      chunkPos_ = 0;
      chunkLength_ = next_ < end_ ? static_cast<size_t>(std::min(kChunkBytes, end_ - next_)) : 0;
      if (chunkLength_ > 0) {
        chunk_.resize(chunkLength_);
        if (!source_.read(next_, chunk_.data(), chunkLength_)) {
          overrun_ = true;
          readFailed_ = true;
          chunkLength_ = 0;
          end_ = next_;
        }
        next_ += chunkLength_;
      }
    }
    uint64_t byte = 0;  // zero bits past the end
    if (chunkPos_ < chunkLength_) byte = chunk_[chunkPos_++];
    buffer_ |= byte << (56 - held_);
    held_ += 8;
  }
}

bool BitReader::findSync(int headerBits) {
  while (remaining_ >= static_cast<uint64_t>(kSyncBits + headerBits)) {
    const uint32_t window = peek(kSyncBits);
    if (window == kSync) {
      skip(kSyncBits);
      return true;
    }
    // A sync needs 23 ones from where it starts: none can start at or before
    // the first zero among the leading bits, so skip past it.
    const int ones = std::countl_one(window << 8);
    skip(ones < kSyncBits - 1 ? ones + 1 : 1);
  }
  return false;
}

bool BitReader::addCodedRow(const HuffmanTable& table, uint8_t* row, int width) {
  // The held bits live in locals: stores to `row` may alias any member, so
  // the compiler would otherwise reload them after every pixel.
  uint64_t buffer = buffer_;
  int held = held_;
  const HuffmanTable::Run* const runs = table.runs();
  uint64_t used = 0;
  int x = 0;
  const auto take = [&](int bits) {
    buffer <<= bits;
    held -= bits;
    used += static_cast<uint64_t>(bits);
  };
  while (x < width) {
    if (held < 16) {
      buffer_ = buffer;
      held_ = held;
      refill();
      buffer = buffer_;
      held = held_;
    }
    // Short codes a run at a time; a long code, or a run reaching past the
    // row's end, one code at a time.
    const HuffmanTable::Run& run = runs[buffer >> (64 - HuffmanTable::kRunBits)];
    if (run.count != 0 && width - x >= 8) {
      // A run's unused values are 0, so all eight can be added: fixed work
      // without branches, and the pixels past the run stay as they are.
#if defined(__SSE2__)
      // Pixels moved to -128..127 take a saturating signed add, which is
      // the clamp to 0..255 once moved back.
      const __m128i bias = _mm_set1_epi8(static_cast<char>(0x80));
      const __m128i pixels = _mm_xor_si128(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + x)), bias);
      const __m128i values = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(run.values));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(row + x), _mm_xor_si128(_mm_adds_epi8(pixels, values), bias));
#else
      for (int i = 0; i < 8; ++i) row[x + i] = addClamped(row[x + i], run.values[i]);
#endif
      x += run.count;
      take(run.bits);
      continue;
    }
    if (run.count != 0 && run.count <= width - x) {
      for (int i = 0; i < run.count; ++i) row[x + i] = addClamped(row[x + i], run.values[i]);
      x += run.count;
      take(run.bits);
      continue;
    }
    const HuffmanTable::Entry entry = table.lookup(static_cast<uint32_t>(buffer >> 48));
    if (entry.length == 0) {
      buffer_ = buffer;
      held_ = held;
      return false;
    }
    take(entry.length);
    row[x] = addClamped(row[x], entry.value);
    ++x;
  }
  buffer_ = buffer;
  held_ = held;
  if (used > remaining_) {
    remaining_ = 0;
    overrun_ = true;
  } else {
    remaining_ -= used;
  }
  return !overrun_;
}

}  // namespace quorbix::pcd
