// Compares two uncompressed 24-bit Targa files for bench/pcd_damage.sh:
//   bench_targa_psnr <reference.tga> <other.tga>
// prints the other picture's size and its PSNR against the reference over
// the B, G, R bytes, "3072x2048 47.31" ("inf" when they are equal, "-" when
// the sizes differ); nothing and exit status 1 when the other file is not
// such a Targa. Rows are compared as stored.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/file_system.h"

namespace {

constexpr size_t kHeaderSize = 18;

// Width and height of an uncompressed 24-bit Targa with no image ID, whose
// pixels fill the rest of the file; nothing otherwise.
bool readTarga(const char* path, std::string& bytes, int& width, int& height) {
  if (!quorbix::platform::readWholeFile(path, bytes) || bytes.size() < kHeaderSize) return false;
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(bytes[i]); };
  width = byte(12) | byte(13) << 8;
  height = byte(14) | byte(15) << 8;
  return byte(0) == 0 && byte(2) == 2 && byte(16) == 24 &&
         bytes.size() == kHeaderSize + static_cast<size_t>(width) * static_cast<size_t>(height) * 3;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_targa_psnr <reference.tga> <other.tga>\n");
    return 2;
  }
  std::string reference, other;
  int width = 0, height = 0, otherWidth = 0, otherHeight = 0;
  if (!readTarga(argv[2], other, otherWidth, otherHeight)) return 1;
  if (!readTarga(argv[1], reference, width, height) || width != otherWidth || height != otherHeight) {
    std::printf("%dx%d -\n", otherWidth, otherHeight);
    return 0;
  }
  double sum = 0;
  for (size_t i = kHeaderSize; i < reference.size(); ++i) {
    const double d = static_cast<double>(static_cast<uint8_t>(reference[i])) - static_cast<uint8_t>(other[i]);
    sum += d * d;
  }
  if (sum == 0) {
    std::printf("%dx%d inf\n", width, height);
  } else {
    std::printf("%dx%d %.2f\n", width, height,
                10 * std::log10(255.0 * 255.0 * static_cast<double>(reference.size() - kHeaderSize) / sum));
  }
  return 0;
}
