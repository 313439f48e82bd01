#include "image/tiff_layout.h"

#include <FreeImage.h>
#include <tiffio.h>

#include <algorithm>
#include <bit>
#include <vector>

#include "image/tiff_lzw.h"
#include "image/tiff_memory.h"
#include "image/tiff_metadata.h"

namespace quorbix {
namespace {

// Uncompressed bytes per strip: large enough that a strip's dictionary or
// window pays off, small enough for readers that read a strip at a time.
constexpr size_t kStripBytes = 256 * 1024;

// Deflate's effort (libdeflate's levels, 1 to 12; zlib's, 1 to 9). On the
// real 16Base sample each level from 2 to 4 costs about 10% more time for
// about 1% less file, level 5 30% more for 1.5% less; level 1 is a fifth
// larger than level 2.
constexpr int kDeflateLevel = 2;

// How a tag's value is handed to and from libtiff.
enum class Kind { Short, Long, Float, Text, ShortPair, Counted, ExtraSamples, ColourMap };

struct CopiedTag {
  uint32_t tag;
  Kind kind;
};

// Every tag FreeImage's TIFF writer may put into a one-picture TIFF besides
// those of the layout (compression, predictor, strips).
constexpr CopiedTag kCopiedTags[] = {
    {TIFFTAG_SUBFILETYPE, Kind::Long},       {TIFFTAG_IMAGEWIDTH, Kind::Long},
    {TIFFTAG_IMAGELENGTH, Kind::Long},       {TIFFTAG_BITSPERSAMPLE, Kind::Short},
    {TIFFTAG_PHOTOMETRIC, Kind::Short},      {TIFFTAG_THRESHHOLDING, Kind::Short},
    {TIFFTAG_FILLORDER, Kind::Short},        {TIFFTAG_DOCUMENTNAME, Kind::Text},
    {TIFFTAG_IMAGEDESCRIPTION, Kind::Text},  {TIFFTAG_MAKE, Kind::Text},
    {TIFFTAG_MODEL, Kind::Text},             {TIFFTAG_ORIENTATION, Kind::Short},
    {TIFFTAG_SAMPLESPERPIXEL, Kind::Short},  {TIFFTAG_MINSAMPLEVALUE, Kind::Short},
    {TIFFTAG_MAXSAMPLEVALUE, Kind::Short},   {TIFFTAG_XRESOLUTION, Kind::Float},
    {TIFFTAG_YRESOLUTION, Kind::Float},      {TIFFTAG_PLANARCONFIG, Kind::Short},
    {TIFFTAG_PAGENAME, Kind::Text},          {TIFFTAG_XPOSITION, Kind::Float},
    {TIFFTAG_YPOSITION, Kind::Float},        {TIFFTAG_RESOLUTIONUNIT, Kind::Short},
    {TIFFTAG_PAGENUMBER, Kind::ShortPair},   {TIFFTAG_SOFTWARE, Kind::Text},
    {TIFFTAG_DATETIME, Kind::Text},          {TIFFTAG_ARTIST, Kind::Text},
    {TIFFTAG_HOSTCOMPUTER, Kind::Text},      {TIFFTAG_COLORMAP, Kind::ColourMap},
    {TIFFTAG_INKSET, Kind::Short},           {TIFFTAG_NUMBEROFINKS, Kind::Short},
    {TIFFTAG_EXTRASAMPLES, Kind::ExtraSamples},
    {TIFFTAG_SAMPLEFORMAT, Kind::Short},     {TIFFTAG_XMLPACKET, Kind::Counted},
    {TIFFTAG_COPYRIGHT, Kind::Text},         {TIFFTAG_RICHTIFFIPTC, Kind::Counted},
    {TIFFTAG_PHOTOSHOP, Kind::Counted},      {TIFFTAG_ICCPROFILE, Kind::Counted},
};

// The tags the layout itself writes.
constexpr uint32_t kLayoutTags[] = {TIFFTAG_COMPRESSION, TIFFTAG_PREDICTOR, TIFFTAG_ROWSPERSTRIP,
                                    TIFFTAG_STRIPOFFSETS, TIFFTAG_STRIPBYTECOUNTS};

bool isKnownTag(uint32_t tag) {
  for (const CopiedTag& copied : kCopiedTags) {
    if (copied.tag == tag) return true;
  }
  return std::find(std::begin(kLayoutTags), std::end(kLayoutTags), tag) != std::end(kLayoutTags);
}

// True when every tag of the first directory of the classic TIFF `bytes`
// is one of those above; libtiff itself lists only the tags it does not
// know, so the directory is read here.
bool holdsOnlyKnownTags(const pcd::ByteBuffer& bytes) {
  if (bytes.size() < 8 || (bytes[0] != 'I' && bytes[0] != 'M') || bytes[1] != bytes[0]) return false;
  const bool little = bytes[0] == 'I';
  auto number = [&](size_t at, int size) {
    uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
      const uint32_t byte = static_cast<unsigned char>(bytes[at + static_cast<size_t>(little ? size - 1 - i : i)]);
      value = value << 8 | byte;
    }
    return value;
  };
  if (number(2, 2) != 42) return false;  // BigTIFF or no TIFF
  const size_t directory = number(4, 4);
  if (directory + 2 > bytes.size()) return false;
  const size_t entries = number(directory, 2);
  if (directory + 2 + entries * 12 > bytes.size()) return false;
  for (size_t i = 0; i < entries; ++i) {
    if (!isKnownTag(number(directory + 2 + i * 12, 2))) return false;
  }
  return true;
}

// Copies one tag that `from` has to `to`; true when it has none.
bool copyTag(TIFF* from, TIFF* to, const CopiedTag& copied) {
  switch (copied.kind) {
    case Kind::Short: {
      uint16_t value = 0;
      return TIFFGetField(from, copied.tag, &value) != 1 || TIFFSetField(to, copied.tag, value) == 1;
    }
    case Kind::Long: {
      uint32_t value = 0;
      return TIFFGetField(from, copied.tag, &value) != 1 || TIFFSetField(to, copied.tag, value) == 1;
    }
    case Kind::Float: {
      float value = 0;
      return TIFFGetField(from, copied.tag, &value) != 1 || TIFFSetField(to, copied.tag, value) == 1;
    }
    case Kind::Text: {
      const char* text = nullptr;
      return TIFFGetField(from, copied.tag, &text) != 1 || text == nullptr ||
             TIFFSetField(to, copied.tag, text) == 1;
    }
    case Kind::ShortPair: {
      uint16_t first = 0;
      uint16_t second = 0;
      return TIFFGetField(from, copied.tag, &first, &second) != 1 ||
             TIFFSetField(to, copied.tag, first, second) == 1;
    }
    case Kind::Counted: {
      uint32_t count = 0;
      const void* data = nullptr;
      return TIFFGetField(from, copied.tag, &count, &data) != 1 || TIFFSetField(to, copied.tag, count, data) == 1;
    }
    case Kind::ExtraSamples: {
      uint16_t count = 0;
      const uint16_t* kinds = nullptr;
      return TIFFGetField(from, copied.tag, &count, &kinds) != 1 || TIFFSetField(to, copied.tag, count, kinds) == 1;
    }
    case Kind::ColourMap: {
      uint16_t* red = nullptr;
      uint16_t* green = nullptr;
      uint16_t* blue = nullptr;
      return TIFFGetField(from, copied.tag, &red, &green, &blue) != 1 ||
             TIFFSetField(to, copied.tag, red, green, blue) == 1;
    }
  }
  return false;
}

// Horizontal differencing for 8- and 16-bit samples of colour, grey or
// inks; palette indices are no amounts, and other sizes are not differenced.
uint16_t predictorFor(TIFF* tiff) {
  uint16_t bits = 0;
  uint16_t photometric = 0;
  uint16_t format = SAMPLEFORMAT_UINT;
  TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
  if (photometric == PHOTOMETRIC_PALETTE) return PREDICTOR_NONE;
  if ((format == SAMPLEFORMAT_UINT || format == SAMPLEFORMAT_INT) && (bits == 8 || bits == 16)) {
    return PREDICTOR_HORIZONTAL;
  }
  return PREDICTOR_NONE;
}

// Where the rows of `from` (uncompressed, one plane) lie in `plain` when
// they follow each other without a gap, as FreeImage writes them; nullptr
// otherwise, and for the reversed bit order, which libtiff would reverse in
// place.
const uint8_t* contiguousRows(TIFF* from, const pcd::ByteBuffer& plain, tmsize_t rowBytes, uint32_t height) {
  uint16_t fillOrder = FILLORDER_MSB2LSB;
  TIFFGetFieldDefaulted(from, TIFFTAG_FILLORDER, &fillOrder);
  if (fillOrder != FILLORDER_MSB2LSB) return nullptr;
  const uint64_t* offsets = nullptr;
  const uint64_t* counts = nullptr;
  if (TIFFGetField(from, TIFFTAG_STRIPOFFSETS, &offsets) != 1 ||
      TIFFGetField(from, TIFFTAG_STRIPBYTECOUNTS, &counts) != 1 || offsets == nullptr || counts == nullptr) {
    return nullptr;
  }
  const uint32_t strips = TIFFNumberOfStrips(from);
  uint64_t next = offsets[0];
  for (uint32_t i = 0; i < strips; ++i) {
    if (offsets[i] != next) return nullptr;
    next += counts[i];
  }
  const uint64_t total = static_cast<uint64_t>(rowBytes) * height;
  if (next - offsets[0] != total || next > plain.size()) return nullptr;
  return plain.data() + offsets[0];
}

// LZW strips encoded by the program (image/tiff_lzw.h) and written as they
// are, differenced first when `predictor` says so. Only for samples in the
// machine's byte order, which TIFF's differencing of 16-bit samples works on.
bool writeOwnLzwStrips(TIFF* from, TIFF* to, const uint8_t* rows, tmsize_t rowBytes, uint32_t height,
                       uint32_t rowsPerStrip, uint16_t predictor) {
  uint16_t samples = 1;
  uint16_t bits = 1;
  TIFFGetFieldDefaulted(from, TIFFTAG_SAMPLESPERPIXEL, &samples);
  TIFFGetFieldDefaulted(from, TIFFTAG_BITSPERSAMPLE, &bits);
  // One encoder per thread: its table is 4 MB.
  thread_local TiffLzwEncoder encoder;
  pcd::ByteBuffer differenced;
  pcd::ByteBuffer coded;
  const size_t stripBytes = static_cast<size_t>(rowBytes) * rowsPerStrip;
  if (predictor == PREDICTOR_HORIZONTAL) differenced.resize(stripBytes);
  for (uint32_t top = 0, index = 0; top < height; top += rowsPerStrip, ++index) {
    const uint32_t count = std::min(rowsPerStrip, height - top);
    const size_t bytes = static_cast<size_t>(rowBytes) * count;
    const uint8_t* strip = rows + static_cast<size_t>(rowBytes) * top;
    if (predictor == PREDICTOR_HORIZONTAL) {
      differenceRows(strip, differenced.data(), static_cast<size_t>(rowBytes), count, samples, bits / 8);
      strip = differenced.data();
    }
    encoder.encodeStrip(strip, bytes, coded);
    if (TIFFWriteRawStrip(to, index, coded.data(), static_cast<tmsize_t>(coded.size())) < 0) return false;
  }
  return true;
}

// The pixels of `from` (uncompressed, one plane, in `plain`) into `to`,
// strip by strip.
bool copyPixels(TIFF* from, const pcd::ByteBuffer& plain, TIFF* to, uint32_t rowsPerStrip, uint16_t compression,
                uint16_t predictor) {
  uint32_t height = 0;
  TIFFGetField(from, TIFFTAG_IMAGELENGTH, &height);
  const tmsize_t rowBytes = TIFFScanlineSize(from);
  if (rowBytes <= 0) return false;
  if (const uint8_t* rows = contiguousRows(from, plain, rowBytes, height)) {
    if (compression == COMPRESSION_LZW && std::endian::native == std::endian::little && !TIFFIsByteSwapped(from) &&
        !TIFFIsByteSwapped(to)) {
      return writeOwnLzwStrips(from, to, rows, rowBytes, height, rowsPerStrip, predictor);
    }
    // Encoded from where they are: libtiff only reads a strip it is given
    // in the machine's byte order (differencing works on a copy of its own).
    for (uint32_t top = 0, index = 0; top < height; top += rowsPerStrip, ++index) {
      const uint32_t count = std::min(rowsPerStrip, height - top);
      void* strip = const_cast<uint8_t*>(rows + static_cast<size_t>(rowBytes) * top);
      if (TIFFWriteEncodedStrip(to, index, strip, rowBytes * count) < 0) return false;
    }
    return true;
  }
  std::vector<uint8_t> strip(static_cast<size_t>(rowBytes) * rowsPerStrip);
  for (uint32_t top = 0, index = 0; top < height; top += rowsPerStrip, ++index) {
    const uint32_t rows = std::min(rowsPerStrip, height - top);
    for (uint32_t row = 0; row < rows; ++row) {
      if (TIFFReadScanline(from, strip.data() + static_cast<size_t>(rowBytes) * row, top + row) != 1) return false;
    }
    if (TIFFWriteEncodedStrip(to, index, strip.data(), rowBytes * rows) < 0) return false;
  }
  return true;
}

}  // namespace

uint16_t ownLayoutCompression(int flags) {
  // FreeImage takes the first of its flags in this order.
  if ((flags & TIFF_PACKBITS) != 0) return 0;
  if ((flags & TIFF_DEFLATE) != 0) return COMPRESSION_DEFLATE;
  if ((flags & TIFF_ADOBE_DEFLATE) != 0) return COMPRESSION_ADOBE_DEFLATE;
  if ((flags & (TIFF_NONE | TIFF_CCITTFAX3 | TIFF_CCITTFAX4)) != 0) return 0;
  if ((flags & TIFF_LZW) != 0) return COMPRESSION_LZW;
  return 0;
}

bool canLayOutCompressedTiff(const pcd::ByteBuffer& plain) {
  if (!holdsOnlyKnownTags(plain)) return false;
  MemoryTiff in(plain);
  TIFF* from = in.get();
  if (from == nullptr || TIFFIsTiled(from) || TIFFNumberOfDirectories(from) != 1) return false;
  uint16_t compression = 0;
  uint16_t planes = PLANARCONFIG_CONTIG;
  TIFFGetFieldDefaulted(from, TIFFTAG_COMPRESSION, &compression);
  TIFFGetFieldDefaulted(from, TIFFTAG_PLANARCONFIG, &planes);
  return compression == COMPRESSION_NONE && planes == PLANARCONFIG_CONTIG;
}

bool layOutCompressedTiff(const pcd::ByteBuffer& plain, uint16_t compression, const pcd::ImagePacFacts& facts,
                          pcd::ByteBuffer& out) {
  MemoryTiff in(plain);
  TIFF* from = in.get();
  if (from == nullptr) return false;

  out.clear();
  out.reserve(plain.size() / 2);
  MemoryTiff written(out, "w");
  TIFF* to = written.get();
  if (to == nullptr) return false;
  for (const CopiedTag& copied : kCopiedTags) {
    if (!copyTag(from, to, copied)) return false;
  }
  const uint16_t predictor = predictorFor(from);
  const tmsize_t rowBytes = TIFFScanlineSize(from);
  if (rowBytes <= 0) return false;
  const uint32_t rowsPerStrip = std::max<uint32_t>(1, static_cast<uint32_t>(kStripBytes / static_cast<size_t>(rowBytes)));
  if (TIFFSetField(to, TIFFTAG_COMPRESSION, compression) != 1 ||
      (predictor != PREDICTOR_NONE && TIFFSetField(to, TIFFTAG_PREDICTOR, predictor) != 1) ||
      TIFFSetField(to, TIFFTAG_ROWSPERSTRIP, rowsPerStrip) != 1) {
    return false;
  }
  if (compression != COMPRESSION_LZW && TIFFSetField(to, TIFFTAG_ZIPQUALITY, kDeflateLevel) != 1) return false;
  if (!setTiffMetadata(to, facts) || !copyPixels(from, plain, to, rowsPerStrip, compression, predictor)) return false;
  return TIFFFlush(to) == 1 && written.close();
}

}  // namespace quorbix
