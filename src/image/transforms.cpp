#include "image/transforms.h"

#include <FreeImage.h>

namespace quorbix {
namespace {

FREE_IMAGE_FILTER filterOf(ResizeFilter filter) {
  switch (filter) {
    case ResizeFilter::Box: return FILTER_BOX;
    case ResizeFilter::Bilinear: return FILTER_BILINEAR;
    case ResizeFilter::BSpline: return FILTER_BSPLINE;
    case ResizeFilter::Bicubic: return FILTER_BICUBIC;
    case ResizeFilter::CatmullRom: return FILTER_CATMULLROM;
    case ResizeFilter::Lanczos3: return FILTER_LANCZOS3;
  }
  return FILTER_BICUBIC;
}

}  // namespace

Bitmap convertTo24Bits(const Bitmap& image) { return Bitmap(FreeImage_ConvertTo24Bits(image.get())); }

Bitmap convertToStandardType(const Bitmap& image, bool scaleLinear) {
  return Bitmap(FreeImage_ConvertToStandardType(image.get(), scaleLinear ? TRUE : FALSE));
}

Bitmap convertToGreyscale(const Bitmap& image) { return Bitmap(FreeImage_ConvertToGreyscale(image.get())); }

Bitmap threshold(const Bitmap& image, uint8_t level) { return Bitmap(FreeImage_Threshold(image.get(), level)); }

Bitmap rescale(const Bitmap& image, int width, int height, ResizeFilter filter) {
  return Bitmap(FreeImage_Rescale(image.get(), width, height, filterOf(filter)));
}

Bitmap rotate(const Bitmap& image, double angle) { return Bitmap(FreeImage_Rotate(image.get(), angle, nullptr)); }

Bitmap rotate(const Bitmap& image, double angle, uint8_t r, uint8_t g, uint8_t b, uint8_t extra) {
  RGBQUAD background{};
  background.rgbBlue = b;
  background.rgbGreen = g;
  background.rgbRed = r;
  background.rgbReserved = extra;
  return Bitmap(FreeImage_Rotate(image.get(), angle, &background));
}

Bitmap rotateEx(const Bitmap& image, double angle, double xShift, double yShift, double xOrigin,
                double yOrigin, bool useMask) {
  return Bitmap(FreeImage_RotateEx(image.get(), angle, xShift, yShift, xOrigin, yOrigin, useMask ? TRUE : FALSE));
}

Bitmap copyRect(const Bitmap& image, int left, int top, int right, int bottom) {
  return Bitmap(FreeImage_Copy(image.get(), left, top, right, bottom));
}

Bitmap allocateRgba(int width, int height) {
  return Bitmap(FreeImage_Allocate(width, height, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
}

bool adjustColors(const Bitmap& image, double brightness, double contrast, double gamma, bool invert) {
  return FreeImage_AdjustColors(image.get(), brightness, contrast, gamma, invert ? TRUE : FALSE) != FALSE;
}

bool flipHorizontal(const Bitmap& image) { return FreeImage_FlipHorizontal(image.get()) != FALSE; }

bool flipVertical(const Bitmap& image) { return FreeImage_FlipVertical(image.get()) != FALSE; }

}  // namespace quorbix
