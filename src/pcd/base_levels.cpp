#include "pcd/base_levels.h"

#include <cstring>
#include <vector>

namespace quorbix::pcd {

bool readBaseLevel(const ByteSource& source, Level level, YccPicture& picture) {
  if (level > Level::Base) return false;
  const int w = levelWidth(level);
  const int h = levelHeight(level);
  const size_t pairBytes = static_cast<size_t>(w) * 3;  // two luma rows + two half rows
  std::vector<uint8_t> data(pairBytes * static_cast<size_t>(h / 2));
  if (!source.read(baseLevelSector(level) * kSectorSize, data.data(), data.size())) return false;

  picture.luma = Plane(w, h);
  picture.chroma1 = Plane(w / 2, h / 2);
  picture.chroma2 = Plane(w / 2, h / 2);
  const size_t half = static_cast<size_t>(w / 2);
  for (int pair = 0; pair < h / 2; ++pair) {
    const uint8_t* in = data.data() + pairBytes * static_cast<size_t>(pair);
    std::memcpy(picture.luma.row(2 * pair), in, static_cast<size_t>(w));
    std::memcpy(picture.luma.row(2 * pair + 1), in + w, static_cast<size_t>(w));
    std::memcpy(picture.chroma1.row(pair), in + 2 * w, half);
    std::memcpy(picture.chroma2.row(pair), in + 2 * w + half, half);
  }
  return true;
}

}  // namespace quorbix::pcd
