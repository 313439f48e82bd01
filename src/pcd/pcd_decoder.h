// The PhotoCD decoder: one sub-image of an Image Pac as an upright 8-bit
// sRGB picture. Sub-image numbers are those of the converter's command line:
// 0 and 1 = Base/16 (192 x 128), 2 = Base/4, 3 = Base (768 x 512),
// 4 = 4Base, 5 = 16Base (3072 x 2048), 6 = 64Base. Reads hostile files
// safely: every offset is checked against the source, every table against
// its bounds. Thread-compatible (no shared state).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "pcd/byte_source.h"
#include "pcd/decode_repairs.h"
#include "pcd/extension_files.h"
#include "pcd/pcd_header.h"
#include "pcd/pcd_layout.h"
#include "pcd/byte_buffer.h"
#include "pcd/plane.h"
#include "pcd/ycc_to_srgb.h"

namespace quorbix::pcd {

enum class DecodeStatus {
  Ok,
  NotPhotoCd,    // no Image Pac header
  NoSuchLevel,   // the file does not hold the sub-image (known from the header)
  Damaged,       // the header promises the level but its data is missing or corrupt
};

const char* describe(DecodeStatus status);

// An upright picture, rows top to bottom, pixels as B, G, R bytes.
struct BgrImage {
  int width = 0;
  int height = 0;
  ByteBuffer pixels;
};

// The level a sub-image number selects; nothing for numbers outside 0..6.
std::optional<Level> subImageLevel(int subImage);

// Decodes `level` in its stored orientation, still in PhotoYCC. 64Base also
// needs the picture's extension files; without them it is NoSuchLevel.
// Damaged coded data costs only the rows it touches: the picture is Ok at
// its full size, and `repairs` (when given) says which rows were rebuilt.
DecodeStatus decodeYcc(const ByteSource& source, const PcdHeader& header, Level level, YccPicture& picture,
                       const ExtensionFiles* extension = nullptr, DecodeRepairs* repairs = nullptr);

// Colour conversion and turning upright, a band of upright rows at a time,
// so a picture can go to its file without ever being held whole in sRGB.
// The longest run of pixels converted in one go: the most rows of a band.
constexpr int kRenderSegment = 256;
class UprightRenderer {
 public:
  // `picture` must outlive the renderer.
  UprightRenderer(const YccPicture& picture, Rotation rotation, ToneRendering tone = ToneRendering::Display);
  // False when the planes' sizes do not fit together (nothing to render).
  bool valid() const { return width_ > 0; }
  int width() const { return width_; }
  int height() const { return height_; }
  // A good band height: a band of about a quarter megabyte.
  int bandRows() const;
  // Writes upright rows row0 .. row0+rows-1 (rows at most kRenderSegment) as
  // B, G, R bytes to `out`, width() * 3 bytes a row.
  void render(int row0, int rows, uint8_t* out) const;

 private:
  const YccPicture& picture_;
  Rotation rotation_;
  const YccToSrgb& converter_;
  int width_ = 0;
  int height_ = 0;
};

// The whole picture at once.
void renderUpright(const YccPicture& picture, Rotation rotation, BgrImage& image,
                   ToneRendering tone = ToneRendering::Display);

// Header and level: the stored picture and how to turn it upright.
DecodeStatus decodeStored(const ByteSource& source, int subImage, YccPicture& picture, Rotation& rotation,
                          const ExtensionFiles* extension = nullptr, DecodeRepairs* repairs = nullptr);

// The whole job: header, level, colours, orientation.
DecodeStatus decodeSubImage(const ByteSource& source, int subImage, BgrImage& image,
                            const ExtensionFiles* extension = nullptr, DecodeRepairs* repairs = nullptr,
                            ToneRendering tone = ToneRendering::Display);

}  // namespace quorbix::pcd
