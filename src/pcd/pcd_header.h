// The part of the Image Pac header the decoder needs: which levels the file
// claims to hold, where the coded levels end, and how the picture is turned.
#pragma once

#include <cstdint>
#include <optional>

#include "pcd/byte_source.h"
#include "pcd/pcd_layout.h"

namespace quorbix::pcd {

// How far the stored picture is turned from upright, counter-clockwise: the
// decoder turns it back by the same amount clockwise.
enum class Rotation : uint8_t { None = 0, Quarter = 1, Half = 2, ThreeQuarters = 3 };

struct PcdHeader {
  Rotation rotation = Rotation::None;
  Level highestLevel = Level::Base;   // Base, 4Base, 16Base or 64Base
  uint32_t fourBaseStopSector = 0;    // last sector of the 4Base data
  uint32_t sixteenBaseStopSector = 0; // last sector of the 16Base data
};

// Reads and checks the header; nothing when the source is too short or does
// not carry the Image Pac signature. Reads only the first sectors.
std::optional<PcdHeader> readPcdHeader(const ByteSource& source);

}  // namespace quorbix::pcd
