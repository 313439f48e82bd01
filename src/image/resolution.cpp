#include "image/resolution.h"

#include <FreeImage.h>

#include <cstring>

namespace quorbix {
namespace {

// Dots per metre from an EXIF resolution tag, or `fallback` when the tag is
// missing or too short.
int32_t exifDotsPerMetre(FIBITMAP* image, const char* key, int32_t fallback) {
  FITAG* tag = nullptr;
  if (!FreeImage_GetMetadata(FIMD_EXIF_MAIN, image, key, &tag) || tag == nullptr) return fallback;
  const void* value = FreeImage_GetTagValue(tag);
  if (value == nullptr || FreeImage_GetTagLength(tag) < sizeof(int32_t)) return fallback;
  int32_t dotsPerInch = 0;
  std::memcpy(&dotsPerInch, value, sizeof dotsPerInch);
  // Truncated toward zero; through 64 bits so huge values wrap instead of
  // overflowing.
  return static_cast<int32_t>(static_cast<int64_t>(dotsPerInch / 0.0254 + 0.5));
}

}  // namespace

Resolution resolutionOf(const Bitmap& bitmap) {
  Resolution resolution;
  FIBITMAP* image = bitmap.get();
  if (image == nullptr) return resolution;
  resolution.dotsPerMetreX = static_cast<int32_t>(FreeImage_GetDotsPerMeterX(image));
  resolution.dotsPerMetreY = static_cast<int32_t>(FreeImage_GetDotsPerMeterY(image));
  if (FreeImage_GetMetadataCount(FIMD_EXIF_MAIN, image) != 0) {
    resolution.dotsPerMetreX = exifDotsPerMetre(image, "XResolution", resolution.dotsPerMetreX);
    resolution.dotsPerMetreY = exifDotsPerMetre(image, "YResolution", resolution.dotsPerMetreY);
  }
  return resolution;
}

void applyResolution(const Bitmap& bitmap, const Resolution& resolution) {
  FIBITMAP* image = bitmap.get();
  if (image == nullptr) return;
  FreeImage_SetDotsPerMeterX(image, static_cast<unsigned>(resolution.dotsPerMetreX));
  FreeImage_SetDotsPerMeterY(image, static_cast<unsigned>(resolution.dotsPerMetreY));
}

}  // namespace quorbix
