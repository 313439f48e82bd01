#include "pcd/pcd_header.h"

#include <cstring>

namespace quorbix::pcd {

std::optional<PcdHeader> readPcdHeader(const ByteSource& source) {
  uint8_t signature[7];
  if (!source.read(kHeaderOffset, signature, sizeof signature) ||
      std::memcmp(signature, kSignature, sizeof signature) != 0) {
    return std::nullopt;
  }
  uint8_t fields[kHeaderEnd - kAttributeOffset];
  if (!source.read(kAttributeOffset, fields, sizeof fields)) return std::nullopt;

  PcdHeader header;
  const uint8_t attributes = fields[0];
  header.rotation = static_cast<Rotation>(attributes & 0x03);
  // Bits 2-3: 0 = Base, 1 = 4Base, 2 = 16Base, 3 = 64Base (the Pro format).
  header.highestLevel = static_cast<Level>(static_cast<int>(Level::Base) + ((attributes >> 2) & 0x03));
  header.fourBaseStopSector = static_cast<uint32_t>(fields[1] << 8 | fields[2]);
  header.sixteenBaseStopSector = static_cast<uint32_t>(fields[3] << 8 | fields[4]);
  return header;
}

}  // namespace quorbix::pcd
