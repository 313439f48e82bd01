#include "image/tiff_lzw.h"

#include <algorithm>
#include <cstring>

namespace quorbix {
namespace {

constexpr uint32_t kClear = 256;
constexpr uint32_t kEndOfInformation = 257;
constexpr uint32_t kFirstFree = 258;
constexpr uint32_t kFull = 4094;  // a Clear before the 12 bits run out
constexpr int kShortest = 9;
constexpr uint32_t kCodeBits = 12;
constexpr uint32_t kCodeMask = (uint32_t{1} << kCodeBits) - 1;
constexpr uint32_t kSlotMask = 8191;

// Where the search for (string, next byte) starts.
inline uint32_t slotOf(uint32_t key) { return (key * 2654435761u) >> 19; }

// Codes into bytes, most significant bit first.
class CodeWriter {
 public:
  explicit CodeWriter(uint8_t* out) : out_(out), start_(out) {}
  void put(uint32_t code, int width) {
    bits_ = bits_ << width | code;
    count_ += width;
    while (count_ >= 8) {
      count_ -= 8;
      *out_++ = static_cast<uint8_t>(bits_ >> count_);
    }
  }
  // The bytes written, the last one padded with zero bits.
  size_t finish() {
    if (count_ > 0) *out_++ = static_cast<uint8_t>(bits_ << (8 - count_));
    count_ = 0;
    return static_cast<size_t>(out_ - start_);
  }

 private:
  uint8_t* out_;
  uint8_t* const start_;
  uint64_t bits_ = 0;
  int count_ = 0;
};

}  // namespace

void TiffLzwEncoder::encodeStrip(const uint8_t* data, size_t size, pcd::ByteBuffer& out) {
  // At most one code of 12 bits per byte, with Clears, the last string and
  // End of Information.
  out.resize(size + size / 2 + size / 2048 * 2 + 16);
  CodeWriter writer(out.data());
  int width = kShortest;
  uint32_t widest = (uint32_t{1} << width) - 1;
  uint32_t free = kFirstFree;
  const auto newTable = [this] { entries_.fill(0); };
  // After a new entry: a Clear when the table is full, else one bit more
  // when the next entry would not fit.
  const auto grown = [&] {
    if (free == kFull) {
      writer.put(kClear, width);
      newTable();
      free = kFirstFree;
      width = kShortest;
      widest = (uint32_t{1} << width) - 1;
    } else if (free > widest) {
      ++width;
      widest = (uint32_t{1} << width) - 1;
    }
  };
  newTable();
  writer.put(kClear, width);
  if (size > 0) {
    uint32_t string = data[0];
    uint32_t* entries = entries_.data();
    for (size_t i = 1; i < size; ++i) {
      const uint32_t byte = data[i];
      const uint32_t key = string << 8 | byte;
      uint32_t slot = slotOf(key);
      uint32_t entry = entries[slot];
      while (entry != 0 && entry >> kCodeBits != key) {
        slot = (slot + 1) & kSlotMask;
        entry = entries[slot];
      }
      if (entry != 0) {
        string = entry & kCodeMask;
        continue;
      }
      writer.put(string, width);
      entries[slot] = key << kCodeBits | free;
      ++free;
      string = byte;
      grown();
    }
    // The decoder makes an entry for this code too, and reads the next one
    // as wide as that leaves it.
    writer.put(string, width);
    ++free;
    grown();
  }
  writer.put(kEndOfInformation, width);
  out.resize(writer.finish());
}

void differenceRows(const uint8_t* from, uint8_t* to, size_t rowBytes, size_t rows, int samplesPerPixel,
                    int bytesPerSample) {
  const size_t stride = static_cast<size_t>(samplesPerPixel);
  for (size_t row = 0; row < rows; ++row, from += rowBytes, to += rowBytes) {
    if (bytesPerSample == 1) {
      const size_t first = std::min(stride, rowBytes);
      std::memcpy(to, from, first);
      for (size_t i = first; i < rowBytes; ++i) to[i] = static_cast<uint8_t>(from[i] - from[i - stride]);
      continue;
    }
    const size_t samples = rowBytes / 2;
    for (size_t i = 0; i < samples; ++i) {
      uint16_t value;
      std::memcpy(&value, from + 2 * i, 2);
      if (i >= stride) {
        uint16_t before;
        std::memcpy(&before, from + 2 * (i - stride), 2);
        value = static_cast<uint16_t>(value - before);
      }
      std::memcpy(to + 2 * i, &value, 2);
    }
  }
}

}  // namespace quorbix
