#include "image/image_io.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "image/memory_file.h"
#include "image/tiff_layout.h"
#include "image/tiff_metadata.h"
#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"
#include "pcd/pcd_header.h"
#include "pcd/pcd_layout.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/memory_advice.h"
#include "platform/staged_file.h"
#include "platform/system_error.h"

namespace quorbix {
namespace {

// An Image Pac holds the Base picture (768 x 512; per pair of luma lines one
// line of each chroma half) uncompressed at its fixed sector; a file that
// ends before its end cannot give the loader a picture.
constexpr uint64_t kBaseWidth = pcd::levelWidth(pcd::Level::Base);
constexpr uint64_t kBaseHeight = pcd::levelHeight(pcd::Level::Base);
constexpr uint64_t kPhotoCdBaseBytes = kBaseWidth * kBaseHeight + 2 * (kBaseWidth / 2 * (kBaseHeight / 2));
constexpr uint64_t kPhotoCdMinimumSize = pcd::baseLevelSector(pcd::Level::Base) * pcd::kSectorSize + kPhotoCdBaseBytes;
static_assert(kPhotoCdMinimumSize == 0x30000 + 768 * 512 + 2 * (384 * 256));
// FreeImage's PhotoCD loader fills the picture from the top only when byte
// 72 of the file, masked with 63, is 8.
constexpr uint64_t kLoaderRowOrderOffset = 72;
constexpr uint8_t kLoaderTopDown = 8;
constexpr double kUprightAngle = 90.0;

// Streams get a large buffer.
constexpr size_t kStreamBufferSize = 1 << 20;

// FreeImage's handle for a buffered C stream being read. The position is
// tracked here, so that a seek to where the stream is costs nothing and does
// not drop the buffer.
struct StreamHandle {
  explicit StreamHandle(std::FILE* file) : stream(file) {}
  std::FILE* stream;
  long position = 0;
};

StreamHandle& handleOf(fi_handle handle) { return *static_cast<StreamHandle*>(handle); }

unsigned DLL_CALLCONV readStream(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  StreamHandle& h = handleOf(handle);
  size_t done = std::fread(buffer, size, count, h.stream);
  if (done == count) {
    h.position += static_cast<long>(done * size);
  } else {
    h.position = std::ftell(h.stream);  // a partial item may have been read
  }
  return static_cast<unsigned>(done);
}

// Streams are only read: pictures are written into memory (MemoryFile).
unsigned DLL_CALLCONV refuseWrite(void*, unsigned, unsigned, fi_handle) { return 0; }

int DLL_CALLCONV seekStream(fi_handle handle, long offset, int origin) {
  StreamHandle& h = handleOf(handle);
  if ((origin == SEEK_SET && offset == h.position) || (origin == SEEK_CUR && offset == 0)) return 0;
  if (std::fseek(h.stream, offset, origin) != 0) return -1;
  h.position = std::ftell(h.stream);
  return 0;
}

long DLL_CALLCONV tellStream(fi_handle handle) { return handleOf(handle).position; }

FreeImageIO streamIo() { return {readStream, refuseWrite, seekStream, tellStream}; }

MemoryFile& memoryOf(fi_handle handle) { return *static_cast<MemoryFile*>(handle); }

unsigned DLL_CALLCONV readMemory(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  MemoryFile& m = memoryOf(handle);
  if (size == 0) return 0;
  // Whole items only.
  const size_t items = std::min<size_t>(count, m.available() / size);
  return static_cast<unsigned>(m.read(buffer, items * size) / size);
}

unsigned DLL_CALLCONV writeMemory(void* buffer, unsigned size, unsigned count, fi_handle handle) {
  return memoryOf(handle).write(buffer, static_cast<size_t>(size) * count) ? count : 0;
}

int DLL_CALLCONV seekMemory(fi_handle handle, long offset, int origin) {
  return memoryOf(handle).seek(offset, origin) ? 0 : -1;
}

long DLL_CALLCONV tellMemory(fi_handle handle) { return static_cast<long>(memoryOf(handle).position); }

FreeImageIO memoryIo() { return {readMemory, writeMemory, seekMemory, tellMemory}; }

// `image` as FreeImage writes `format` with `flags`, into `bytes`.
bool freeImageBytes(int32_t format, const Bitmap& image, int flags, pcd::ByteBuffer& bytes) {
  bytes.clear();
  try {
    // Room for the pixels uncompressed and a directory, so that the bytes
    // are not moved while they grow.
    bytes.reserve(static_cast<size_t>(image.pitch()) * image.height() + 65536);
  } catch (const std::bad_alloc&) {
    return false;
  }
  MemoryFile file(bytes);
  FreeImageIO io = memoryIo();
  return FreeImage_SaveToHandle(static_cast<FREE_IMAGE_FORMAT>(format), image.get(), &io,
                                static_cast<fi_handle>(&file), flags) != 0;
}

// FreeImage's TIFF flags with the compression replaced by none.
int uncompressedTiffFlags(int flags) {
  constexpr int kCompressions = TIFF_PACKBITS | TIFF_DEFLATE | TIFF_ADOBE_DEFLATE | TIFF_NONE | TIFF_CCITTFAX3 |
                                TIFF_CCITTFAX4 | TIFF_LZW | TIFF_JPEG | TIFF_LOGLUV;
  return (flags & ~kCompressions) | TIFF_NONE;
}

// The first `count` bytes of `path`, or fewer when the file is shorter.
std::string fileStart(const std::string& path, size_t count) {
  std::FILE* stream = platform::openForReading(path);
  if (stream == nullptr) return "";
  std::string bytes(count, '\0');
  bytes.resize(std::fread(bytes.data(), 1, count, stream));
  std::fclose(stream);
  return bytes;
}

unsigned littleEndian16(const std::string& bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

}  // namespace

Bitmap loadImageFile(int32_t format, const std::string& path, int flags) {
  std::FILE* stream = platform::openForReading(path);
  if (stream == nullptr) return Bitmap();
  platform::AlignedBlock buffer = platform::allocateStreamBuffer(kStreamBufferSize);
  if (!buffer) {
    std::fclose(stream);
    return Bitmap();
  }
  std::setvbuf(stream, buffer.get(), _IOFBF, kStreamBufferSize);
  StreamHandle handle(stream);
  FreeImageIO io = streamIo();
  Bitmap image(FreeImage_LoadFromHandle(static_cast<FREE_IMAGE_FORMAT>(format), &io,
                                        static_cast<fi_handle>(&handle), flags));
  std::fclose(stream);  // before its buffer goes
  return image;
}

int32_t imageFileType(const std::string& path) {
  std::FILE* stream = platform::openForReading(path);
  if (stream == nullptr) return FIF_UNKNOWN;
  StreamHandle handle(stream);
  FreeImageIO io = streamIo();
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromHandle(&io, static_cast<fi_handle>(&handle), 0);
  std::fclose(stream);
  return format;
}

Bitmap loadTargaFile(const std::string& path) { return loadImageFile(FIF_TARGA, path, TARGA_DEFAULT); }

bool isCompleteTarga(const std::string& path) {
  const platform::PathInfo info = platform::pathInfo(path);
  constexpr size_t kHeaderSize = 18;
  if (info.kind != platform::PathKind::File || info.size < kHeaderSize) return false;
  const std::string header = fileStart(path, kHeaderSize);
  if (header.size() < kHeaderSize) return false;
  const unsigned idLength = static_cast<unsigned char>(header[0]);
  const unsigned colorMapType = static_cast<unsigned char>(header[1]);
  const unsigned imageType = static_cast<unsigned char>(header[2]);
  const unsigned colorMapLength = littleEndian16(header, 5);
  const unsigned colorMapEntryBits = static_cast<unsigned char>(header[7]);
  const uint64_t width = littleEndian16(header, 12);
  const uint64_t height = littleEndian16(header, 14);
  const unsigned pixelBits = static_cast<unsigned char>(header[16]);

  const bool knownType = imageType == 1 || imageType == 2 || imageType == 3 || imageType == 9 ||
                         imageType == 10 || imageType == 11;
  const bool knownDepth = pixelBits == 8 || pixelBits == 15 || pixelBits == 16 || pixelBits == 24 ||
                          pixelBits == 32;
  if (!knownType || !knownDepth || colorMapType > 1 || width == 0 || height == 0) return false;
  if (imageType >= 9) return true;  // run-length data: its length says nothing

  const uint64_t colorMapBytes = colorMapType == 1 ? colorMapLength * ((colorMapEntryBits + 7) / 8) : 0;
  const uint64_t pixelBytes = width * height * ((pixelBits + 7) / 8);
  return info.size >= kHeaderSize + idLength + colorMapBytes + pixelBytes;
}

bool isReadablePhotoCd(const std::string& path) {
  const platform::PathInfo info = platform::pathInfo(path);
  return info.kind == platform::PathKind::File && info.size >= kPhotoCdMinimumSize && hasImagePacSignature(path);
}

bool hasImagePacSignature(const std::string& path) {
  const size_t signatureLength = sizeof pcd::kSignature - 1;
  const std::string start = fileStart(path, pcd::kHeaderOffset + signatureLength);
  return start.size() == pcd::kHeaderOffset + signatureLength &&
         std::memcmp(start.data() + pcd::kHeaderOffset, pcd::kSignature, signatureLength) == 0;
}

namespace {

// Our decoder's Base level of `path`, upright, in the DISPLAY rendering.
Bitmap decodeBaseUpright(const std::string& path) {
  const auto source = pcd::FileByteSource::open(path);
  pcd::BgrImage decoded;
  if (!source || pcd::decodeSubImage(*source, 3, decoded) != pcd::DecodeStatus::Ok) return Bitmap();
  Bitmap image(FreeImage_Allocate(decoded.width, decoded.height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
  if (!image) return image;
  const size_t rowBytes = static_cast<size_t>(decoded.width) * 3;
  for (int y = 0; y < decoded.height; ++y) {
    // FreeImage keeps rows bottom to top; both hold B, G, R bytes.
    std::memcpy(FreeImage_GetScanLine(image.get(), decoded.height - 1 - y),
                decoded.pixels.data() + rowBytes * static_cast<size_t>(y), rowBytes);
  }
  return image;
}

}  // namespace

Bitmap loadPhotoCdUpright(const std::string& path, pcd::ToneRendering tone) {
  if (tone == pcd::ToneRendering::Display) {
    if (Bitmap ours = decodeBaseUpright(path)) return ours;
  }
  Bitmap image = loadImageFile(FIF_PCD, path, PCD_DEFAULT);
  const auto source = pcd::FileByteSource::open(path);
  const auto header = source ? pcd::readPcdHeader(*source) : std::nullopt;
  if (!image || !header) return image;
  // The loader puts the rows in bottom to top (the picture upside down)
  // unless byte 72 of the file, read as it reads it, says otherwise.
  uint8_t rowOrder = 0;
  if (source->read(kLoaderRowOrderOffset, &rowOrder, 1) && (rowOrder & 63) != kLoaderTopDown) {
    FreeImage_FlipVertical(image.get());
  }
  if (header->rotation == pcd::Rotation::None) return image;
  // Turned back as the decoder does; FreeImage turns exactly by multiples of
  // 90 degrees, counter-clockwise for positive angles.
  const double angle = kUprightAngle * static_cast<int>(header->rotation);
  image.reset(FreeImage_Rotate(image.get(), angle, nullptr));
  return image;
}

Outcome encodeImage(int32_t format, Bitmap image, int flags, const pcd::ImagePacFacts& facts,
                    pcd::ByteBuffer& bytes) {
  if (!image) return Outcome::failure("there was no picture to save");
  const Outcome notWritten = Outcome::failure("the encoder could not write the picture");
  if (format == FIF_TIFF) {
    if (const uint16_t compression = ownLayoutCompression(flags); compression != 0) {
      pcd::ByteBuffer plain;
      if (!freeImageBytes(format, image, uncompressedTiffFlags(flags), plain)) return notWritten;
      // Anything the layout does not know is left to FreeImage's own writer.
      if (canLayOutCompressedTiff(plain)) {
        image.reset();  // only the plain bytes are needed from here on
        // Its buffers are taken whole (the output's half of the plain
        // bytes, a strip): no memory for them fails the file, as in
        // FreeImage's writes above.
        try {
          if (!layOutCompressedTiff(plain, compression, facts, bytes)) return notWritten;
        } catch (const std::bad_alloc&) {
          return notWritten;
        }
        return Outcome::success();
      }
    }
  }
  if (!freeImageBytes(format, image, flags, bytes)) return notWritten;
  if (format == FIF_TIFF && !addTiffMetadata(bytes, facts)) return Outcome::failure("the TIFF's tags could not be written");
  return Outcome::success();
}

Outcome saveEncodedImage(const pcd::ByteBuffer& bytes, const std::string& path) {
  if (path.empty()) return Outcome::failure("there was no picture to save");
  platform::StagedFile file;
  // What the system said, when it was the system that refused.
  auto refused = [&file](const char* what) {
    const int error = file.systemError();
    if (error == 0) return Outcome::failure(what);
    return Outcome::failure(std::string(what) + ": " + platform::systemErrorText(error), error);
  };
  if (!file.open(path)) return refused("the output file could not be created");
  // In pieces of a megabyte: one write of tens of megabytes costs the
  // system several times the time of its pieces.
  constexpr size_t kPiece = 1 << 20;
  for (size_t at = 0; at < bytes.size(); at += kPiece) {
    if (!file.write(bytes.data() + at, std::min(kPiece, bytes.size() - at))) {
      return refused("the output file could not be written");
    }
  }
  // On the disk before the rename: after a power cut the final name never
  // holds an empty or partial picture.
  if (!file.commit(platform::StagedFile::Flush::ToDisk)) return refused("the output file could not be written");
  return Outcome::success();
}

Outcome saveImageFile(int32_t format, const Bitmap& image, const std::string& path, int flags,
                      const pcd::ImagePacFacts& facts) {
  if (!image || path.empty()) return Outcome::failure("there was no picture to save");
  pcd::ByteBuffer bytes;
  Bitmap copy(FreeImage_Clone(image.get()));
  if (!copy) return Outcome::failure("there was no memory for the picture");
  if (Outcome encoded = encodeImage(format, std::move(copy), flags, facts, bytes); !encoded) return encoded;
  return saveEncodedImage(bytes, path);
}

}  // namespace quorbix
