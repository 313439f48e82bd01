// Fuzz target: the input is a whole PhotoCD file; every sub-image is decoded.
// The decoder must neither crash nor read out of bounds nor allocate without
// bound, whatever the bytes.
#include <cstddef>
#include <cstdint>

#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const quorbix::pcd::MemoryByteSource source(data, size);
  for (int subImage = 0; subImage <= 6; ++subImage) {
    quorbix::pcd::BgrImage image;
    if (quorbix::pcd::decodeSubImage(source, subImage, image) == quorbix::pcd::DecodeStatus::Ok &&
        image.pixels.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3) {
      __builtin_trap();  // a decoded picture must be complete
    }
  }
  return 0;
}
