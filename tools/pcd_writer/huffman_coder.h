// Huffman coding for the PhotoCD writers: a bit writer, canonical
// codes of at most 16 bits, and the table form of the Image Pac (a byte with
// the entry count minus one, then per entry the code length minus one, the
// code left-aligned in 16 big-endian bits and the value).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace quorbix::pcd_writer {

class BitWriter {
 public:
  // The low `count` bits of `bits` (count 0..32), highest first.
  void put(uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; --i) {
      current_ = static_cast<uint8_t>(current_ << 1 | ((bits >> i) & 1));
      if (++filled_ == 8) {
        bytes_.push_back(static_cast<char>(current_));
        current_ = 0;
        filled_ = 0;
      }
    }
  }
  // Whole bytes written so far (a partly filled byte is not counted).
  size_t bytesWritten() const { return bytes_.size(); }
  std::string finish() {
    if (filled_ > 0) put(0, 8 - filled_);
    return std::move(bytes_);
  }

 private:
  std::string bytes_;
  uint8_t current_ = 0;
  int filled_ = 0;
};

struct Code {
  int length = 0;
  uint32_t bits = 0;
};

// Canonical Huffman code for the values seen; at most 16 bits per code.
std::map<int, Code> buildCode(const std::map<int, uint64_t>& counts);

// The table in the Image Pac's form, entries in code order (shortest first),
// as real Image Pacs list them.
std::string tableBytes(const std::map<int, Code>& code);

}  // namespace quorbix::pcd_writer
