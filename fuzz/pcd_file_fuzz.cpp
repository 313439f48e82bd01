// Fuzz target: the input stands for a whole PhotoCD file, in a compact form
// so that mutations land where the decoder makes decisions: the first 8192
// bytes are the file's first four sectors (header), the uncompressed Base
// levels (up to sector 384) read as zeros, and the rest of the input is the
// file from sector 384 on (the coded 4Base and 16Base levels). An input
// shorter than 8192 bytes is the whole file. The last byte picks the
// sub-image. The decoder must neither crash, nor read out of bounds, nor
// allocate without bound, whatever the bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"

namespace {

constexpr uint64_t kHeaderBytes = 8192;
constexpr uint64_t kCodedStart = 384 * 2048;

class CompactSource : public quorbix::pcd::ByteSource {
 public:
  CompactSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t size() const override { return size_ < kHeaderBytes ? size_ : kCodedStart + (size_ - kHeaderBytes); }
  bool read(uint64_t offset, uint8_t* into, size_t length) const override {
    if (offset > size() || length > size() - offset) return false;
    for (size_t i = 0; i < length;) {
      const uint64_t at = offset + i;
      size_t run = 0;
      if (at < kHeaderBytes && size_ >= kHeaderBytes) {
        run = std::min<uint64_t>(length - i, kHeaderBytes - at);
        std::memcpy(into + i, data_ + at, run);
      } else if (size_ < kHeaderBytes) {
        run = length - i;
        std::memcpy(into + i, data_ + at, run);
      } else if (at < kCodedStart) {
        run = std::min<uint64_t>(length - i, kCodedStart - at);
        std::memset(into + i, 0, run);
      } else {
        run = length - i;
        std::memcpy(into + i, data_ + kHeaderBytes + (at - kCodedStart), run);
      }
      i += run;
    }
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const CompactSource source(data, size);
  const int subImage = data[size - 1] % 7;
  quorbix::pcd::BgrImage image;
  quorbix::pcd::DecodeRepairs repairs;
  if (quorbix::pcd::decodeSubImage(source, subImage, image, nullptr, &repairs) == quorbix::pcd::DecodeStatus::Ok &&
      image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3) {
    __builtin_trap();  // a decoded picture must be complete
  }
  if (repairs.describe(quorbix::pcd::Rotation::Quarter).size() > 4096) __builtin_trap();
  return 0;
}
