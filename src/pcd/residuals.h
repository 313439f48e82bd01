// Adds the Huffman-coded differences of a 4Base or 16Base level to the
// picture predicted from the level below. The coded data is a sequence of
// rows, each opening with the 24-bit sync pattern FFFFFE, then 2 bits naming
// the component (0 luma, 2 and 3 chroma), 13 bits for the row (in luma rows)
// and one spare bit, then one code per pixel. A row numbered like the height
// ends the data. Up to three tables precede the rows: luma, then the two
// chroma components.
#pragma once

#include <cstdint>

#include "pcd/byte_source.h"
#include "pcd/plane.h"

namespace quorbix::pcd {

struct CodedLevelExtent {
  uint64_t tableBegin = 0;  // byte offsets in the source
  uint64_t tableEnd = 0;
  uint64_t dataBegin = 0;
  uint64_t dataEnd = 0;
};

// `picture` holds the prediction at the coded level's size (chroma at half
// size). Every luma row must be present exactly once; a chroma component is
// either absent (its prediction stays) or complete. False when the data is
// missing, cut short or malformed; the picture is then partly changed.
bool addResiduals(const ByteSource& source, const CodedLevelExtent& extent, YccPicture& picture);

}  // namespace quorbix::pcd
