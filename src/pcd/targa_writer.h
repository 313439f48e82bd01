// Writes a BgrImage as an uncompressed 24-bit Targa file (rows top to
// bottom, marked so in the descriptor). The file appears at `path` only when
// complete: it is written under a temporary sibling name and renamed.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "pcd/pcd_decoder.h"

namespace quorbix::pcd {

constexpr size_t kTargaHeaderSize = 18;
std::array<uint8_t, kTargaHeaderSize> targaHeader(int width, int height);

// False (and nothing at `path`) when the file cannot be written.
bool writeTarga(const BgrImage& image, const std::string& path);
// The same file straight from the stored picture, turned upright on the way.
bool writeTarga(const YccPicture& picture, Rotation rotation, const std::string& path,
                ToneRendering tone = ToneRendering::Display);

}  // namespace quorbix::pcd
