// Reading and writing image files with FreeImage by UTF-8 path (FreeImage's
// own wide-character functions do nothing outside Windows, so every file goes
// through a stream the platform layer opens). Safe on any thread; prints
// nothing; failures are empty bitmaps and false.
#pragma once

#include <cstdint>
#include <string>

#include "base/outcome.h"
#include "image/bitmap.h"
#include "pcd/byte_buffer.h"
#include "pcd/image_pac_facts.h"
#include "pcd/ycc_to_srgb.h"

namespace quorbix {

// Loads `path` as `format` (a FreeImage format id, as the format registry
// keeps them) with FreeImage's `flags`; empty when the file cannot be opened
// or decoded.
Bitmap loadImageFile(int32_t format, const std::string& path, int flags);

// FreeImage's format id of the file at `path` by its first bytes
// (FIF_UNKNOWN, -1, when it cannot be opened or is of no known format).
int32_t imageFileType(const std::string& path);

// Loads the Targa file at `path` with FreeImage's default flags.
Bitmap loadTargaFile(const std::string& path);

// True when `path` looks like a Targa file that holds a whole picture:
// a known image type and pixel depth, a size above zero, and (for the
// uncompressed types) enough bytes for every pixel. Converters that crash
// half way leave files that fail here.
bool isCompleteTarga(const std::string& path);

// True when `path` carries the Image Pac signature "PCD_IPI" at byte 2048.
bool hasImagePacSignature(const std::string& path);

// True when FreeImage's own PhotoCD loader can read `path` at its default
// (Base, 768 x 512) size: the Image Pac signature "PCD_IPI" at byte 2048 and
// a file long enough to hold the Base picture. The loader itself checks
// neither and turns any file at all into a picture.
bool isReadablePhotoCd(const std::string& path);

// The fallback's PhotoCD picture at Base (768 x 512), upright as the Image
// Pac header says, for a file isReadablePhotoCd accepts; empty when it does
// not load. In the DISPLAY rendering it is our own decoder's Base, so it has
// the tones our converter gives; with FULLRANGE, and when our decoder cannot
// read the file, it is FreeImage's PhotoCD loader, as in earlier versions.
Bitmap loadPhotoCdUpright(const std::string& path, pcd::ToneRendering tone = pcd::ToneRendering::Display);

// `image` encoded as a `format` file with FreeImage's save `flags`, into
// `bytes`; the picture is released as soon as it is no longer needed. A TIFF
// also gets the sRGB profile when it holds colour, and `facts`
// (image/tiff_metadata.h); LZW and Deflate TIFFs are laid out as
// image/tiff_layout.h says. Touches no file; safe on any thread.
Outcome encodeImage(int32_t format, Bitmap image, int flags, const pcd::ImagePacFacts& facts,
                    pcd::ByteBuffer& bytes);

// Saves `bytes` at `path` atomically (platform::StagedFile): they are
// written to a new hidden file in the same folder, which replaces `path`
// only when the file system reports success and the data is on the disk
// (fsync); otherwise it is deleted and `path` is left as it was. A failure
// says why, with the system's error number when the system refused (a full
// disk: ENOSPC).
Outcome saveEncodedImage(const pcd::ByteBuffer& bytes, const std::string& path);

// encodeImage (keeping `image`) and saveEncodedImage; nothing was saved on a failure
// (also for an empty image).
Outcome saveImageFile(int32_t format, const Bitmap& image, const std::string& path, int flags,
                      const pcd::ImagePacFacts& facts = {});

}  // namespace quorbix
