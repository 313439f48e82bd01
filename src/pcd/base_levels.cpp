#include "pcd/base_levels.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace quorbix::pcd {

bool readBaseLevel(const ByteSource& source, Level level, YccPicture& picture) {
  if (level > Level::Base) return false;
  const int w = levelWidth(level);
  const int h = levelHeight(level);
  const size_t pairBytes = static_cast<size_t>(w) * 3;  // two luma rows + two half rows
  // Read a few dozen row pairs at a time into one small buffer, rather than
  // the whole level into fresh memory that is touched once.
  constexpr int kPairsPerRead = 32;
  std::vector<uint8_t> data(pairBytes * kPairsPerRead);
  // In the memory the planes already have: the decoder reserves room for
  // the level it is after.
  picture.luma.resize(w, h);
  picture.chroma1.resize(w / 2, h / 2);
  picture.chroma2.resize(w / 2, h / 2);
  Plane& luma = picture.luma;
  Plane& chroma1 = picture.chroma1;
  Plane& chroma2 = picture.chroma2;
  const size_t half = static_cast<size_t>(w / 2);
  const uint64_t begin = baseLevelSector(level) * kSectorSize;
  for (int first = 0; first < h / 2; first += kPairsPerRead) {
    const int pairs = std::min(kPairsPerRead, h / 2 - first);
    if (!source.read(begin + pairBytes * static_cast<uint64_t>(first), data.data(),
                     pairBytes * static_cast<size_t>(pairs))) {
      return false;
    }
    for (int i = 0; i < pairs; ++i) {
      const int pair = first + i;
      const uint8_t* in = data.data() + pairBytes * static_cast<size_t>(i);
      std::memcpy(luma.row(2 * pair), in, static_cast<size_t>(w));
      std::memcpy(luma.row(2 * pair + 1), in + w, static_cast<size_t>(w));
      std::memcpy(chroma1.row(pair), in + 2 * w, half);
      std::memcpy(chroma2.row(pair), in + 2 * w + half, half);
    }
  }
  return true;
}

}  // namespace quorbix::pcd
