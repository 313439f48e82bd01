#include "pcd/pcd_decoder.h"

#include <algorithm>
#include <cstring>

#include "pcd/base_levels.h"
#include "pcd/extension_info.h"
#include "pcd/extension_residuals.h"
#include "pcd/residuals.h"
#include "pcd/ycc_to_srgb.h"

namespace quorbix::pcd {

namespace {

// Where the coded rows of 4Base or 16Base are, from the header's stop
// sectors; nothing when the header contradicts itself.
std::optional<CodedLevelExtent> codedExtent(const PcdHeader& header, Level level, uint64_t sourceSize) {
  CodedLevelExtent extent;
  uint64_t stop = 0;
  if (level == Level::FourBase) {
    extent.tableBegin = kFourBaseTableSector * kSectorSize;
    extent.dataBegin = kFourBaseDataSector * kSectorSize;
    stop = header.fourBaseStopSector;
  } else {
    extent.tableBegin = (header.fourBaseStopSector + kSixteenBaseTableAfterStop) * kSectorSize;
    extent.dataBegin = (header.fourBaseStopSector + kSixteenBaseDataAfterStop) * kSectorSize;
    stop = header.sixteenBaseStopSector;
  }
  extent.tableEnd = extent.dataBegin;
  // The stop sector is the last one of the level; some writers count one
  // past the end of the file, so the data range also ends with the file.
  extent.dataEnd = std::min((stop + 1) * kSectorSize, sourceSize);
  if (extent.dataEnd <= extent.dataBegin) return std::nullopt;
  return extent;
}

Level levelAbove(Level level) { return static_cast<Level>(static_cast<int>(level) + 1); }

// Room in every plane for `level`, so that the levels below it are read and
// enlarged in the same memory: one set of planes for the whole decode.
void reserveFor(YccPicture& picture, Level level) {
  const int w = levelWidth(level);
  const int h = levelHeight(level);
  picture.luma.reserve(w, h);
  picture.chroma1.reserve(w / 2, h / 2);
  picture.chroma2.reserve(w / 2, h / 2);
}

// The level below, enlarged to the prediction of the level above.
void predictFromBelow(YccPicture& picture) {
  upsample2xInPlace(picture.luma);
  upsample2xInPlace(picture.chroma1);
  upsample2xInPlace(picture.chroma2);
}

// 4Base and up to `top` (4Base or 16Base): Base, then each coded level's
// differences on the level below, enlarged. A level whose tables cannot be
// read adds nothing (a repair of all its rows), unless it is `top` and
// `topRequired`: then the decode fails.
DecodeStatus decodeCodedLevels(const ByteSource& source, const PcdHeader& header, Level top, YccPicture& picture,
                               DecodeRepairs* repairs, bool topRequired) {
  if (top > header.highestLevel) return DecodeStatus::NoSuchLevel;
  // Check the whole chain's extents before any decoding work.
  for (Level coded = Level::FourBase; coded <= top; coded = levelAbove(coded)) {
    if (!codedExtent(header, coded, source.size())) return DecodeStatus::Damaged;
  }
  reserveFor(picture, top);
  if (!readBaseLevel(source, Level::Base, picture)) return DecodeStatus::Damaged;
  for (Level coded = Level::FourBase; coded <= top; coded = levelAbove(coded)) {
    predictFromBelow(picture);
    if (addResiduals(source, *codedExtent(header, coded, source.size()), picture, coded, repairs)) continue;
    if (coded == top && topRequired) return DecodeStatus::Damaged;
    if (repairs != nullptr) repairs->addLevel(coded);
  }
  return DecodeStatus::Ok;
}

// 64Base: 16Base from the Image Pac, then the extension's differences.
DecodeStatus decodeSixtyFourBase(const ByteSource& source, const PcdHeader& header, YccPicture& picture,
                                 const ExtensionFiles* extension, DecodeRepairs* repairs) {
  if (header.highestLevel < Level::SixteenBase || extension == nullptr) return DecodeStatus::NoSuchLevel;
  const std::unique_ptr<ByteSource> infoFile = extension->open(kExtensionInfoName);
  if (!infoFile) return DecodeStatus::NoSuchLevel;
  // The table of contents and the files it names are checked before the
  // long work of 16Base.
  const std::optional<ExtensionInfo> info = parseExtensionInfo(*infoFile);
  if (!info) return DecodeStatus::Damaged;
  const std::optional<ExtensionSources> sources = openExtensionSources(*info, *extension);
  if (!sources) return DecodeStatus::Damaged;
  reserveFor(picture, Level::SixtyFourBase);
  // 16Base with unreadable tables is still a prediction for 64Base.
  const DecodeStatus below = decodeCodedLevels(source, header, Level::SixteenBase, picture, repairs, false);
  if (below != DecodeStatus::Ok) return below;
  predictFromBelow(picture);
  if (!addExtensionResiduals(*info, *sources, picture, repairs)) return DecodeStatus::Damaged;
  return DecodeStatus::Ok;
}

}  // namespace

const char* describe(DecodeStatus status) {
  switch (status) {
    case DecodeStatus::Ok: return "decoded";
    case DecodeStatus::NotPhotoCd: return "not a PhotoCD Image Pac";
    case DecodeStatus::NoSuchLevel: return "the picture has no such sub-image";
    case DecodeStatus::Damaged: return "the sub-image's data is missing or damaged";
  }
  return "";
}

std::optional<Level> subImageLevel(int subImage) {
  switch (subImage) {
    case 0:
    case 1: return Level::Base16;
    case 2: return Level::Base4;
    case 3: return Level::Base;
    case 4: return Level::FourBase;
    case 5: return Level::SixteenBase;
    case 6: return Level::SixtyFourBase;
    default: return std::nullopt;
  }
}

DecodeStatus decodeYcc(const ByteSource& source, const PcdHeader& header, Level level, YccPicture& picture,
                       const ExtensionFiles* extension, DecodeRepairs* repairs) {
  if (level <= Level::Base) {
    return readBaseLevel(source, level, picture) ? DecodeStatus::Ok : DecodeStatus::Damaged;
  }
  if (level == Level::SixtyFourBase) return decodeSixtyFourBase(source, header, picture, extension, repairs);
  return decodeCodedLevels(source, header, level, picture, repairs, true);
}

namespace {

// Chroma at full width for luma row `y`, columns x0 .. x0+count-1 (x0 even),
// interpolated the way the coded levels predict chroma (see upsample2x).
// `out` holds count + 1 bytes.
void chromaForLuma(const Plane& chroma, int y, int x0, int count, uint8_t* out) {
  const int cy = std::min(y / 2, chroma.height - 1);
  const int cyNext = (y % 2 == 1) ? std::min(cy + 1, chroma.height - 1) : cy;
  const uint8_t* a = chroma.row(cy);
  const uint8_t* b = chroma.row(cyNext);
  const int w = chroma.width;
  const int first = x0 / 2;
  const int last = std::min(w, (x0 + count + 1) / 2);  // one past the last source column
  // Vertical means of the columns used and of the one after them (the last
  // one again at the right edge, which repeats it), then the horizontal step.
  uint8_t column[kRenderSegment / 2 + 3];
  const int n = last - first;
  for (int i = 0; i < n; ++i) column[i] = static_cast<uint8_t>((a[first + i] + b[first + i] + 1) >> 1);
  column[n] = last < w ? static_cast<uint8_t>((a[last] + b[last] + 1) >> 1) : column[n - 1];
  for (int i = 0; i < n; ++i) {  // may write one byte past `count`: `out` has room
    out[2 * i] = column[i];
    out[2 * i + 1] = static_cast<uint8_t>((column[i] + column[i + 1] + 1) >> 1);
  }
}

}  // namespace

namespace {
// One converter per rendering for the whole program: their tables are
// built once.
const YccToSrgb& converterFor(ToneRendering tone) {
  static const YccToSrgb display(ToneRendering::Display);
  static const YccToSrgb fullRange(ToneRendering::FullRange);
  return tone == ToneRendering::FullRange ? fullRange : display;
}
}  // namespace

UprightRenderer::UprightRenderer(const YccPicture& picture, Rotation rotation, ToneRendering tone)
    : picture_(picture), rotation_(rotation), converter_(converterFor(tone)) {
  const int w = picture.luma.width;
  const int h = picture.luma.height;
  if (w == 0 || h == 0 || picture.chroma1.width * 2 != w || picture.chroma1.height * 2 != h ||
      picture.chroma2.width * 2 != w || picture.chroma2.height * 2 != h) {
    return;
  }
  const bool sideways = rotation == Rotation::Quarter || rotation == Rotation::ThreeQuarters;
  width_ = sideways ? h : w;
  height_ = sideways ? w : h;
}

int UprightRenderer::bandRows() const {
  constexpr size_t kBandBytes = size_t{1} << 20;
  const size_t rowBytes = static_cast<size_t>(width_) * 3;
  return static_cast<int>(std::clamp<size_t>(kBandBytes / std::max<size_t>(rowBytes, 1), 1, kRenderSegment));
}

void UprightRenderer::render(int row0, int rows, uint8_t* out) const {
  const YccToSrgb& converter = converter_;
  const int w = picture_.luma.width;
  const int h = picture_.luma.height;
  const ptrdiff_t stride = static_cast<ptrdiff_t>(width_) * 3;
  uint8_t c1[kRenderSegment + 2], c2[kRenderSegment + 2];
  if (rotation_ == Rotation::None || rotation_ == Rotation::Half) {
    // Output row r is stored row r, or stored row h-1-r read right to left.
    for (int r = 0; r < rows; ++r) {
      const int y = rotation_ == Rotation::None ? row0 + r : h - 1 - (row0 + r);
      uint8_t* dst = out + stride * r;
      for (int x0 = 0; x0 < w; x0 += kRenderSegment) {
        const int n = std::min(kRenderSegment, w - x0);
        chromaForLuma(picture_.chroma1, y, x0, n, c1);
        chromaForLuma(picture_.chroma2, y, x0, n, c2);
        if (rotation_ == Rotation::None) {
          converter.convertRow(picture_.luma.row(y) + x0, c1, c2, n, dst + ptrdiff_t{3} * x0, 3);
        } else {
          converter.convertRow(picture_.luma.row(y) + x0, c1, c2, n, dst + ptrdiff_t{3} * (w - 1 - x0), -3);
        }
      }
    }
    return;
  }
  // Sideways: output rows are stored columns. A quarter turn sends stored
  // (x, y) to row w-1-x, column y; three quarters to row x, column h-1-y.
  // Each stored row gives one short run of those columns, written down the
  // band's column.
  const bool quarter = rotation_ == Rotation::Quarter;
  const int x0 = quarter ? w - row0 - rows : row0;
  for (int y = 0; y < h; ++y) {
    chromaForLuma(picture_.chroma1, y, x0 & ~1, rows + (x0 & 1), c1);
    chromaForLuma(picture_.chroma2, y, x0 & ~1, rows + (x0 & 1), c2);
    const uint8_t* luma = picture_.luma.row(y) + x0;
    const int skip = x0 & 1;
    if (quarter) {
      converter.convertRow(luma, c1 + skip, c2 + skip, rows, out + stride * (rows - 1) + ptrdiff_t{3} * y, -stride);
    } else {
      converter.convertRow(luma, c1 + skip, c2 + skip, rows, out + ptrdiff_t{3} * (h - 1 - y), stride);
    }
  }
}

void renderUpright(const YccPicture& picture, Rotation rotation, BgrImage& image, ToneRendering tone) {
  const UprightRenderer renderer(picture, rotation, tone);
  if (!renderer.valid()) {
    image = BgrImage();
    return;
  }
  image.width = renderer.width();
  image.height = renderer.height();
  const size_t stride = static_cast<size_t>(image.width) * 3;
  image.pixels.resize(stride * static_cast<size_t>(image.height));  // every byte is written below
  const int band = renderer.bandRows();
  for (int row0 = 0; row0 < image.height; row0 += band) {
    renderer.render(row0, std::min(band, image.height - row0), image.pixels.data() + stride * static_cast<size_t>(row0));
  }
}

DecodeStatus decodeStored(const ByteSource& source, int subImage, YccPicture& picture, Rotation& rotation,
                          const ExtensionFiles* extension, DecodeRepairs* repairs) {
  const std::optional<PcdHeader> header = readPcdHeader(source);
  if (!header) return DecodeStatus::NotPhotoCd;
  const std::optional<Level> level = subImageLevel(subImage);
  if (!level) return DecodeStatus::NoSuchLevel;
  rotation = header->rotation;
  return decodeYcc(source, *header, *level, picture, extension, repairs);
}

DecodeStatus decodeSubImage(const ByteSource& source, int subImage, BgrImage& image,
                            const ExtensionFiles* extension, DecodeRepairs* repairs, ToneRendering tone) {
  YccPicture picture;
  Rotation rotation = Rotation::None;
  const DecodeStatus status = decodeStored(source, subImage, picture, rotation, extension, repairs);
  if (status != DecodeStatus::Ok) return status;
  renderUpright(picture, rotation, image, tone);
  return DecodeStatus::Ok;
}

}  // namespace quorbix::pcd
