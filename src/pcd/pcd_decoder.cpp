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
Level levelBelow(Level level) { return static_cast<Level>(static_cast<int>(level) - 1); }

YccPicture predictFrom(YccPicture&& below) {
  YccPicture predicted;
  predicted.luma = upsample2x(below.luma);
  below.luma = Plane();
  predicted.chroma1 = upsample2x(below.chroma1);
  predicted.chroma2 = upsample2x(below.chroma2);
  below = YccPicture();
  return predicted;
}

// 64Base: 16Base from the Image Pac, then the extension's differences.
DecodeStatus decodeSixtyFourBase(const ByteSource& source, const PcdHeader& header, YccPicture& picture,
                                 const ExtensionFiles* extension) {
  if (header.highestLevel < Level::SixteenBase || extension == nullptr) return DecodeStatus::NoSuchLevel;
  const std::unique_ptr<ByteSource> infoFile = extension->open(kExtensionInfoName);
  if (!infoFile) return DecodeStatus::NoSuchLevel;
  // The table of contents and the files it names are checked before the
  // long work of 16Base.
  const std::optional<ExtensionInfo> info = parseExtensionInfo(*infoFile);
  if (!info) return DecodeStatus::Damaged;
  const std::optional<ExtensionSources> sources = openExtensionSources(*info, *extension);
  if (!sources) return DecodeStatus::Damaged;
  const DecodeStatus below = decodeYcc(source, header, Level::SixteenBase, picture);
  if (below != DecodeStatus::Ok) return below;
  YccPicture predicted = predictFrom(std::move(picture));
  if (!addExtensionResiduals(*info, *sources, predicted)) return DecodeStatus::Damaged;
  picture = std::move(predicted);
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
                       const ExtensionFiles* extension) {
  if (level <= Level::Base) {
    return readBaseLevel(source, level, picture) ? DecodeStatus::Ok : DecodeStatus::Damaged;
  }
  if (level == Level::SixtyFourBase) return decodeSixtyFourBase(source, header, picture, extension);
  if (level > header.highestLevel) return DecodeStatus::NoSuchLevel;

  // Check the whole chain's extents before any decoding work.
  for (Level coded = Level::FourBase; coded <= level; coded = levelAbove(coded)) {
    if (!codedExtent(header, coded, source.size())) return DecodeStatus::Damaged;
  }
  DecodeStatus below = decodeYcc(source, header, levelBelow(level), picture);
  if (below != DecodeStatus::Ok) return below;

  YccPicture predicted = predictFrom(std::move(picture));
  if (!addResiduals(source, *codedExtent(header, level, source.size()), predicted)) return DecodeStatus::Damaged;
  picture = std::move(predicted);
  return DecodeStatus::Ok;
}

namespace {

// One chroma row at full width and for luma row `y`, interpolated the way the
// coded levels predict chroma (see upsample2x).
void chromaRowForLuma(const Plane& chroma, int y, uint8_t* out) {
  const int cy = std::min(y / 2, chroma.height - 1);
  const int cyNext = (y % 2 == 1) ? std::min(cy + 1, chroma.height - 1) : cy;
  const uint8_t* a = chroma.row(cy);
  const uint8_t* b = chroma.row(cyNext);
  const int w = chroma.width;
  int previous = (a[0] + b[0] + 1) >> 1;
  for (int cx = 0; cx < w; ++cx) {
    const int next = cx + 1 < w ? (a[cx + 1] + b[cx + 1] + 1) >> 1 : previous;
    const int here = previous;
    out[2 * cx] = static_cast<uint8_t>(here);
    out[2 * cx + 1] = static_cast<uint8_t>(cx + 1 < w ? (here + next + 1) >> 1 : here);
    previous = next;
  }
}

// Copies `rows` converted rows (starting at stored row y0) of a w x h stored
// picture to their places in the upright picture.
void placeBand(const uint8_t* band, size_t rowBytes, int y0, int rows, int w, int h, Rotation rotation,
               uint8_t* out, size_t stride) {
  const auto at = [&](size_t outRow, size_t outColumn) { return out + outRow * stride + outColumn * 3; };
  for (int r = 0; r < rows && (rotation == Rotation::None || rotation == Rotation::Half); ++r) {
    const uint8_t* in = band + rowBytes * static_cast<size_t>(r);
    const int y = y0 + r;
    if (rotation == Rotation::None) {
      std::memcpy(at(static_cast<size_t>(y), 0), in, rowBytes);
      continue;
    }
    uint8_t* dst = at(static_cast<size_t>(h - 1 - y), static_cast<size_t>(w - 1));
    for (int x = 0; x < w; ++x, dst -= 3, in += 3) std::memcpy(dst, in, 3);
  }
  if (rotation == Rotation::Quarter) {
    // Stored (x, y) goes to row w-1-x, column y.
    for (int x = 0; x < w; ++x) {
      uint8_t* dst = at(static_cast<size_t>(w - 1 - x), static_cast<size_t>(y0));
      const uint8_t* in = band + static_cast<size_t>(x) * 3;
      for (int r = 0; r < rows; ++r, dst += 3, in += rowBytes) std::memcpy(dst, in, 3);
    }
  } else if (rotation == Rotation::ThreeQuarters) {
    // Stored (x, y) goes to row x, column h-1-y.
    for (int x = 0; x < w; ++x) {
      uint8_t* dst = at(static_cast<size_t>(x), static_cast<size_t>(h - y0 - rows));
      const uint8_t* in = band + static_cast<size_t>(rows - 1) * rowBytes + static_cast<size_t>(x) * 3;
      for (int r = 0; r < rows; ++r, dst += 3, in -= rowBytes) std::memcpy(dst, in, 3);
    }
  }
}

}  // namespace

void renderUpright(const YccPicture& picture, Rotation rotation, BgrImage& image) {
  const int w = picture.luma.width;
  const int h = picture.luma.height;
  const bool sideways = rotation == Rotation::Quarter || rotation == Rotation::ThreeQuarters;
  image.width = sideways ? h : w;
  image.height = sideways ? w : h;
  if (w == 0 || h == 0 || picture.chroma1.width * 2 != w || picture.chroma1.height * 2 != h ||
      picture.chroma2.width * 2 != w || picture.chroma2.height * 2 != h) {
    image = BgrImage();
    return;
  }
  image.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);  // every byte is written below

  // Rows are converted a band at a time into a small buffer and then copied
  // to their upright place; for a quarter turn that writes short runs of
  // neighbouring pixels instead of one pixel per output row.
  constexpr int kBand = 32;
  static const YccToSrgb converter;
  std::vector<uint8_t> row1(static_cast<size_t>(w)), row2(static_cast<size_t>(w));
  const size_t rowBytes = static_cast<size_t>(w) * 3;
  ByteBuffer band(rowBytes * kBand);
  const size_t stride = static_cast<size_t>(image.width) * 3;
  uint8_t* const out = image.pixels.data();
  for (int y0 = 0; y0 < h; y0 += kBand) {
    const int rows = std::min(kBand, h - y0);
    for (int r = 0; r < rows; ++r) {
      chromaRowForLuma(picture.chroma1, y0 + r, row1.data());
      chromaRowForLuma(picture.chroma2, y0 + r, row2.data());
      converter.convertRow(picture.luma.row(y0 + r), row1.data(), row2.data(), w, band.data() + rowBytes * static_cast<size_t>(r), 3);
    }
    placeBand(band.data(), rowBytes, y0, rows, w, h, rotation, out, stride);
  }
}

DecodeStatus decodeSubImage(const ByteSource& source, int subImage, BgrImage& image,
                            const ExtensionFiles* extension) {
  const std::optional<PcdHeader> header = readPcdHeader(source);
  if (!header) return DecodeStatus::NotPhotoCd;
  const std::optional<Level> level = subImageLevel(subImage);
  if (!level) return DecodeStatus::NoSuchLevel;
  YccPicture picture;
  const DecodeStatus status = decodeYcc(source, *header, *level, picture, extension);
  if (status != DecodeStatus::Ok) return status;
  renderUpright(picture, header->rotation, image);
  return DecodeStatus::Ok;
}

}  // namespace quorbix::pcd
