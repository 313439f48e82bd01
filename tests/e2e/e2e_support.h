// Helpers for the end-to-end tests: Targa pictures for the fake converter to
// deliver (support/targa.h), and reading saved TIFF files back (size, depth,
// compression tag, resolution).
#pragma once

#include <FreeImage.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "support/targa.h"

namespace quorbix::test {

struct TiffFacts {
  int width = 0;
  int height = 0;
  int bpp = 0;
  unsigned dotsPerMeterX = 0;
  unsigned dotsPerMeterY = 0;
  int compression = -1;  // tag 259 of the first directory
};

// The compression tag (259) of the first image directory, read straight
// from the file (FreeImage does not report it).
inline int tiffCompressionTag(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.size() < 8) return -1;
  const bool little = data[0] == 'I';
  auto u16 = [&](size_t at) -> uint32_t {
    if (at + 2 > data.size()) return 0;
    auto b0 = static_cast<uint8_t>(data[at]), b1 = static_cast<uint8_t>(data[at + 1]);
    return little ? (b0 | b1 << 8) : (b1 | b0 << 8);
  };
  auto u32 = [&](size_t at) -> uint32_t {
    return little ? (u16(at) | u16(at + 2) << 16) : (u16(at) << 16 | u16(at + 2));
  };
  size_t ifd = u32(4);
  uint32_t entries = u16(ifd);
  for (uint32_t i = 0; i < entries; ++i) {
    size_t entry = ifd + 2 + i * 12;
    if (u16(entry) == 259) return static_cast<int>(u16(entry + 8));
  }
  return -1;
}

inline std::optional<TiffFacts> readTiff(const std::string& path) {
  FIBITMAP* bitmap = FreeImage_Load(FIF_TIFF, path.c_str(), TIFF_DEFAULT);
  if (bitmap == nullptr) return std::nullopt;
  TiffFacts facts;
  facts.width = static_cast<int>(FreeImage_GetWidth(bitmap));
  facts.height = static_cast<int>(FreeImage_GetHeight(bitmap));
  facts.bpp = static_cast<int>(FreeImage_GetBPP(bitmap));
  facts.dotsPerMeterX = FreeImage_GetDotsPerMeterX(bitmap);
  facts.dotsPerMeterY = FreeImage_GetDotsPerMeterY(bitmap);
  FreeImage_Unload(bitmap);
  facts.compression = tiffCompressionTag(path);
  return facts;
}

}  // namespace quorbix::test
