// Reads one of the three uncompressed levels (Base/16, Base/4, Base).
#pragma once

#include "pcd/byte_source.h"
#include "pcd/pcd_layout.h"
#include "pcd/plane.h"

namespace quorbix::pcd {

// False when the level's sectors are not all in the source.
bool readBaseLevel(const ByteSource& source, Level level, YccPicture& picture);

}  // namespace quorbix::pcd
