// Decoding of picture files that the program reads besides its input, such as
// the watermark picture: PNG (alpha kept), JPEG, BMP, GIF, TIFF and Targa.
// Safe on the worker thread; reads the file anew on every call.
#pragma once

#include <cstdint>
#include <string>

#include "image/bitmap.h"

namespace quorbix {

// Pictures with more pixels than this are refused before their pixels are
// decoded (8192 x 8192; a 32-bit copy of such a picture takes 256 MB).
inline constexpr uint64_t kMaxDecodedPixels = uint64_t{8192} * 8192;

// The picture at `path` as a 32-bit bitmap with straight alpha (255 where
// the file has none). An empty Bitmap when the file is missing, not a
// picture of a supported format, damaged, or larger than `maxPixels`.
Bitmap decodePicture(const std::string& path, uint64_t maxPixels = kMaxDecodedPixels);

}  // namespace quorbix
