#include "image/bitmap.h"

#include <FreeImage.h>

namespace quorbix {

static_assert(kBlueByte == FI_RGBA_BLUE && kGreenByte == FI_RGBA_GREEN && kRedByte == FI_RGBA_RED &&
              kAlphaByte == FI_RGBA_ALPHA);
static_assert(static_cast<int>(SampleType::Unknown) == FIT_UNKNOWN &&
              static_cast<int>(SampleType::Standard) == FIT_BITMAP &&
              static_cast<int>(SampleType::Uint16) == FIT_UINT16 &&
              static_cast<int>(SampleType::Int16) == FIT_INT16 &&
              static_cast<int>(SampleType::Uint32) == FIT_UINT32 &&
              static_cast<int>(SampleType::Int32) == FIT_INT32 &&
              static_cast<int>(SampleType::Float) == FIT_FLOAT &&
              static_cast<int>(SampleType::Double) == FIT_DOUBLE &&
              static_cast<int>(SampleType::Complex) == FIT_COMPLEX &&
              static_cast<int>(SampleType::Rgb16) == FIT_RGB16 &&
              static_cast<int>(SampleType::Rgba16) == FIT_RGBA16 &&
              static_cast<int>(SampleType::RgbF) == FIT_RGBF &&
              static_cast<int>(SampleType::RgbaF) == FIT_RGBAF);

namespace {

// FreeImage knows its formats once initialised. Its shared library (Linux)
// initialises itself when loaded; a static one (Windows) does not, so every
// program with the image code does it before main, once. FreeImage counts
// the calls, so a second one changes nothing. It is never undone: the formats
// stay known until the process ends, whatever thread is still at work then.
const bool gFreeImageReady = [] {
  FreeImage_Initialise(FALSE);
  return true;
}();

}  // namespace

void Bitmap::reset(FIBITMAP* dib) {
  if (dib_ != nullptr && dib_ != dib) FreeImage_Unload(dib_);
  dib_ = dib;
}

unsigned Bitmap::width() const { return dib_ ? FreeImage_GetWidth(dib_) : 0; }
unsigned Bitmap::height() const { return dib_ ? FreeImage_GetHeight(dib_) : 0; }
unsigned Bitmap::bpp() const { return dib_ ? FreeImage_GetBPP(dib_) : 0; }

SampleType Bitmap::type() const {
  return dib_ ? static_cast<SampleType>(FreeImage_GetImageType(dib_)) : SampleType::Unknown;
}

unsigned Bitmap::pitch() const { return dib_ ? FreeImage_GetPitch(dib_) : 0; }

uint8_t* Bitmap::scanLine(unsigned y) const { return FreeImage_GetScanLine(dib_, static_cast<int>(y)); }

}  // namespace quorbix
