// TIFF's LZW, written by the program: codes of 9 to 12 bits packed from the
// most significant bit, Clear (256) first, End of Information (257) last,
// each code one bit wider from the moment the next new entry would not fit
// (TIFF's "early change"), and Clear whenever the table fills up. libtiff's
// own encoder finds its strings in a hash table of 72 KB; here the table is
// 32 KB, one word an entry, so that it stays in the processor's first cache.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "pcd/byte_buffer.h"

namespace quorbix {

class TiffLzwEncoder {
 public:
  // One strip: `size` bytes at `data` encoded into `out` (replacing what
  // it held), from Clear to End of Information, the last byte padded with
  // zero bits.
  void encodeStrip(const uint8_t* data, size_t size, pcd::ByteBuffer& out);

 private:
  // Open addressing: (string << 8 | next byte) << 12 | the code of the two,
  // at the hash of the first part or after it; 0 is an empty entry (no
  // code of a string of two bytes or more is 0). At most 3836 entries.
  std::array<uint32_t, 8192> entries_{};
};

// TIFF's horizontal differencing of `rows` rows of `rowBytes` bytes from
// `from` into `to`: each sample less the same sample of the pixel before
// it, modulo its size; the first pixel of a row as it is. `bytesPerSample`
// is 1 or 2 (16-bit samples in the machine's byte order).
void differenceRows(const uint8_t* from, uint8_t* to, size_t rowBytes, size_t rows, int samplesPerPixel,
                    int bytesPerSample);

}  // namespace quorbix
