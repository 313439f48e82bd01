#include "pcd/bit_reader.h"

#include <algorithm>

namespace quorbix::pcd {

namespace {
constexpr uint64_t kChunkBytes = 64 * 1024;
}

BitReader::BitReader(const ByteSource& source, uint64_t begin, uint64_t end)
    : source_(source), next_(begin), end_(std::max(begin, end)), remaining_((end_ - begin) * 8) {}

void BitReader::refill() {
  while (held_ <= 56) {
    if (chunkPos_ == chunkLength_) {
      chunkPos_ = 0;
      chunkLength_ = static_cast<size_t>(std::min(kChunkBytes, end_ - next_));
      if (chunkLength_ > 0) {
        chunk_.resize(chunkLength_);
        if (!source_.read(next_, chunk_.data(), chunkLength_)) {
          overrun_ = true;
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

}  // namespace quorbix::pcd
