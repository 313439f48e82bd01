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
#include "pcd/decode_repairs.h"
#include "pcd/pcd_layout.h"
#include "pcd/plane.h"

namespace quorbix::pcd {

struct CodedLevelExtent {
  uint64_t tableBegin = 0;  // byte offsets in the source
  uint64_t tableEnd = 0;
  uint64_t dataBegin = 0;
  uint64_t dataEnd = 0;
};

// `picture` holds the prediction at the coded level's size (chroma at half
// size). A chroma component may be absent: its prediction stays. Damaged
// data costs only the rows it touches (see coded_row.h); a row that is not
// there at all keeps its prediction. Those rows are added to `repairs` (when
// given) under `level`. False when the tables cannot be read, or the rows
// do not decode with them (see residuals.cpp): then the picture keeps its
// prediction.
bool addResiduals(const ByteSource& source, const CodedLevelExtent& extent, YccPicture& picture, Level level,
                  DecodeRepairs* repairs = nullptr);

}  // namespace quorbix::pcd
