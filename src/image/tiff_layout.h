// The layout of our LZW and Deflate TIFFs. FreeImage writes TIFFs with one
// or two rows per strip and differences only some LZW pictures; archives are
// smaller with strips of about 256 KB and horizontal differencing wherever
// the samples allow it (8 and 16 bits per sample, not palette indices). So
// FreeImage writes such a picture uncompressed into memory, and it is laid
// out again here with libtiff, every tag copied and the pixels unchanged.
// Other compressions keep FreeImage's layout.
#pragma once

#include <cstdint>
#include "pcd/byte_buffer.h"
#include "pcd/image_pac_facts.h"

namespace quorbix {

// libtiff's code of the compression that FreeImage's TIFF save `flags` ask
// for when it is one laid out here (LZW, Deflate, Adobe Deflate); 0 for the
// others.
uint16_t ownLayoutCompression(int flags);

// True when `plain`, an uncompressed one-picture TIFF as FreeImage writes
// it, holds nothing that the layout would not copy: no tiles, no separate
// planes, no tag it does not know.
bool canLayOutCompressedTiff(const pcd::ByteBuffer& plain);

// `plain`, which canLayOutCompressedTiff accepts, written again into `out`
// with `compression` in the layout above, with the profile and `facts`
// (image/tiff_metadata.h). False when libtiff failed or memory ran out; `out`
// is then to be dropped.
bool layOutCompressedTiff(const pcd::ByteBuffer& plain, uint16_t compression, const pcd::ImagePacFacts& facts,
                          pcd::ByteBuffer& out);

}  // namespace quorbix
