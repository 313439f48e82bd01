// The program's LZW strips and differencing, read back by libtiff's own
// decoder: whatever the bytes, the same bytes.
#include "image/tiff_lzw.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstring>
#include <random>
#include <vector>

#include "image/tiff_memory.h"

namespace quorbix {
namespace {

// `pixels` (rows of `width` pixels of `samples` samples of `bits`) as one
// LZW strip written by the program, and what libtiff decodes from it.
std::vector<uint8_t> roundTrip(const std::vector<uint8_t>& pixels, uint32_t width, uint16_t samples, uint16_t bits,
                               bool difference) {
  const size_t rowBytes = size_t{width} * samples * bits / 8;
  const uint32_t height = static_cast<uint32_t>(pixels.size() / rowBytes);
  pcd::ByteBuffer file;
  {
    MemoryTiff out(file, "w");
    TIFF* tiff = out.get();
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    if (difference) TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    pcd::ByteBuffer source(pixels.begin(), pixels.end());
    if (difference) differenceRows(pixels.data(), source.data(), rowBytes, height, samples, bits / 8);
    TiffLzwEncoder encoder;
    pcd::ByteBuffer coded;
    encoder.encodeStrip(source.data(), source.size(), coded);
    EXPECT_GE(TIFFWriteRawStrip(tiff, 0, coded.data(), static_cast<tmsize_t>(coded.size())), 0);
    EXPECT_TRUE(out.close());
  }
  MemoryTiff in(file);
  std::vector<uint8_t> decoded(pixels.size());
  if (in.get() == nullptr ||
      TIFFReadEncodedStrip(in.get(), 0, decoded.data(), static_cast<tmsize_t>(decoded.size())) !=
          static_cast<tmsize_t>(decoded.size())) {
    return {};
  }
  return decoded;
}

TEST(TiffLzw, LibtiffReadsBackEveryKindOfStrip) {
  std::mt19937 random(7);
  std::vector<std::vector<uint8_t>> strips;
  strips.push_back({42});                     // one code
  strips.push_back(std::vector<uint8_t>(200000, 9));  // strings up to hundreds of bytes long
  std::vector<uint8_t> noise(300000);         // mostly single bytes: the table fills and clears often
  for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
  strips.push_back(noise);
  std::vector<uint8_t> smooth(1 << 20);       // small differences, as pictures give
  for (size_t i = 0; i < smooth.size(); ++i) smooth[i] = static_cast<uint8_t>(i / 3 % 7 + random() % 3);
  strips.push_back(smooth);
  for (const std::vector<uint8_t>& strip : strips) {
    EXPECT_EQ(roundTrip(strip, static_cast<uint32_t>(strip.size()), 1, 8, false), strip) << strip.size();
  }
}

TEST(TiffLzw, DifferencedSamplesComeBackAsTheyWere) {
  std::mt19937 random(11);
  for (const uint16_t bits : {uint16_t{8}, uint16_t{16}}) {
    std::vector<uint8_t> rows(size_t{300} * 3 * bits / 8 * 40);
    for (uint8_t& byte : rows) byte = static_cast<uint8_t>(random());
    EXPECT_EQ(roundTrip(rows, 300, 3, bits, true), rows) << bits;
  }
}

}  // namespace
}  // namespace quorbix
