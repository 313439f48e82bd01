#include "image/image_decoder.h"

#include <FreeImage.h>

#include <algorithm>
#include <array>

#include "image/image_io.h"

namespace quorbix {
namespace {

// Formats taken for pictures; each can report its size before decoding.
constexpr std::array kPictureFormats = {FIF_PNG, FIF_JPEG, FIF_BMP, FIF_GIF, FIF_TIFF, FIF_TARGA};

bool isPictureFormat(FREE_IMAGE_FORMAT format) {
  return std::find(kPictureFormats.begin(), kPictureFormats.end(), format) != kPictureFormats.end();
}

FREE_IMAGE_FORMAT formatOf(const std::string& path) {
  FREE_IMAGE_FORMAT format = static_cast<FREE_IMAGE_FORMAT>(imageFileType(path));
  // Targa files carry no signature; trust the extension for them only.
  if (format == FIF_UNKNOWN && FreeImage_GetFIFFromFilename(path.c_str()) == FIF_TARGA) format = FIF_TARGA;
  return format;
}

// Most 32-bit BMP files leave the fourth byte of every pixel at 0 and mean
// no transparency by it; such a picture is taken as opaque.
void makeOpaqueIfAlphaUnused(const Bitmap& picture) {
  const unsigned width = picture.width(), height = picture.height();
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* pixel = FreeImage_GetScanLine(picture.get(), static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, pixel += 4) {
      if (pixel[FI_RGBA_ALPHA] != 0) return;
    }
  }
  for (unsigned y = 0; y < height; ++y) {
    BYTE* pixel = FreeImage_GetScanLine(picture.get(), static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, pixel += 4) pixel[FI_RGBA_ALPHA] = 255;
  }
}

}  // namespace

Bitmap decodePicture(const std::string& path, uint64_t maxPixels) {
  FREE_IMAGE_FORMAT format = formatOf(path);
  if (!isPictureFormat(format) || !FreeImage_FIFSupportsReading(format)) return Bitmap();

  if (FreeImage_FIFSupportsNoPixels(format)) {
    Bitmap header = loadImageFile(format, path, FIF_LOAD_NOPIXELS);
    if (!header) return Bitmap();
    uint64_t pixels = uint64_t{header.width()} * header.height();
    if (pixels == 0 || pixels > maxPixels) return Bitmap();
  }

  Bitmap picture = loadImageFile(format, path, 0);
  if (!picture || !FreeImage_HasPixels(picture.get())) return Bitmap();
  if (uint64_t{picture.width()} * picture.height() > maxPixels) return Bitmap();

  FREE_IMAGE_TYPE type = FreeImage_GetImageType(picture.get());
  if (type == FIT_BITMAP && picture.bpp() == 32) {
    if (format == FIF_BMP) makeOpaqueIfAlphaUnused(picture);
    return picture;
  }
  // 16-bit-per-channel colour converts directly; other sample types (grey
  // 16-bit, floating point) go through the standard 8-bit form first.
  if (type != FIT_BITMAP && type != FIT_RGB16 && type != FIT_RGBA16) {
    picture.reset(FreeImage_ConvertToStandardType(picture.get(), TRUE));
    if (!picture) return Bitmap();
  }
  return Bitmap(FreeImage_ConvertTo32Bits(picture.get()));
}

}  // namespace quorbix
