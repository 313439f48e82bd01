#include "image/output_depth.h"

#include <FreeImage.h>

#include <initializer_list>

namespace quorbix {
namespace {

// Every conversion below has the shape image.reset(FreeImage_X(image.get())):
// the new bitmap replaces (and releases) the source; a conversion FreeImage
// cannot make leaves no image, and the file then fails at saving.

bool isOneOf(const std::string& text, std::initializer_list<const char*> options) {
  for (const char* option : options) {
    if (text == option) return true;
  }
  return false;
}

Bitmap to16Bits(Bitmap image, const std::string& conversion) {
  if (image.bpp() > 32) image.reset(FreeImage_ConvertTo24Bits(image.get()));
  if (!image) return image;
  // Icons and Targa files store 16-bit pixels as 5-5-5.
  image.reset(isOneOf(conversion, {"ico", "tga"}) ? FreeImage_ConvertTo16Bits555(image.get())
                                                  : FreeImage_ConvertTo16Bits565(image.get()));
  return image;
}

Bitmap to8Bits(Bitmap image, const std::string& conversion) {
  // Formats whose 8-bit flavour is greyscale take the grey conversion; the
  // others get a 256-colour palette made by the Wu quantizer from 24 bits.
  if (isOneOf(conversion, {"j2k", "jp2", "jpg", "jxr"})) {
    image.reset(FreeImage_ConvertTo8Bits(image.get()));
    return image;
  }
  if (image.bpp() != 24) image.reset(FreeImage_ConvertTo24Bits(image.get()));
  if (!image) return image;
  image.reset(FreeImage_ColorQuantizeEx(image.get(), FIQ_WUQUANT, 256, 0, nullptr));
  return image;
}

int32_t tiffFlags(const SaveOptions& s) {
  int32_t flags = 0;
  switch (s.tiffCompression) {
    case TIFFC_NONE: flags = TIFF_NONE; break;
    case TIFFC_CCITTFAX3: flags = TIFF_CCITTFAX3; break;
    case TIFFC_CCITTFAX4: flags = TIFF_CCITTFAX4; break;
    case TIFFC_PACKBITS: flags = TIFF_PACKBITS; break;
    case TIFFC_DEFLATE: flags = TIFF_DEFLATE; break;
    case TIFFC_ADOBEDEFLATE: flags = TIFF_ADOBE_DEFLATE; break;
    case TIFFC_LZW: flags = TIFF_LZW; break;
    case TIFFC_JPEG: flags = TIFF_JPEG; break;
    case TIFFC_LOGLUV: flags = TIFF_LOGLUV; break;
    default: flags = TIFF_DEFAULT; break;
  }
  // LAB is accepted and echoed but changes nothing in the written file (it
  // stays RGB). CMYK pictures are separated before saving (cmyk_separation.h).
  if (s.tiffColorModel == COLOR_MODEL_CMYK) flags |= TIFF_CMYK;
  return flags;
}

int32_t exrFlags(const SaveOptions& s) {
  switch (s.exrCompression) {
    case EXRC_NONE: return EXR_NONE;
    case EXRC_ZIP: return EXR_ZIP;
    case EXRC_PIZ: return EXR_PIZ;
    case EXRC_PXR24: return EXR_PXR24;
    case EXRC_B44: return EXR_B44;
    default: return 0;
  }
}

int32_t jpegFlags(const SaveOptions& s) {
  int32_t flags = s.jpgQuality;
  switch (s.jpgChroma) {
    case CHROMA_NONE: flags |= JPEG_SUBSAMPLING_444; break;
    case CHROMA_LOW: flags |= JPEG_SUBSAMPLING_422; break;
    case CHROMA_MEDIUM: flags |= JPEG_SUBSAMPLING_420; break;
    case CHROMA_HIGH: flags |= JPEG_SUBSAMPLING_411; break;
    default: break;
  }
  switch (s.jpgSaveAs) {
    case JPEG_SAVE_SIMPLE: flags |= JPEG_BASELINE; break;
    case JPEG_SAVE_OPTIMIZED: flags |= JPEG_OPTIMIZE; break;
    case JPEG_SAVE_PROGRESSIVE: flags |= JPEG_PROGRESSIVE; break;
    default: break;
  }
  return flags;
}

int32_t pngFlags(const SaveOptions& s) {
  int32_t flags = 0;
  switch (s.pngCompression) {
    case PNGC_NONE: flags = PNG_Z_NO_COMPRESSION; break;
    case PNGC_ZLIB1: flags = PNG_Z_BEST_SPEED; break;
    case PNGC_ZLIB6: flags = PNG_Z_DEFAULT_COMPRESSION; break;
    case PNGC_ZLIB9: flags = PNG_Z_BEST_COMPRESSION; break;
    default: break;
  }
  if (s.pngInterlaced) flags |= PNG_INTERLACED;
  return flags;
}

}  // namespace

int32_t settledOutputDepth(const FormatRegistry& registry, const std::string& conversion,
                           bool keepSourceDepth, int32_t targetBpp, int32_t sourceDepth) {
  return keepSourceDepth ? registry.autoDepth(conversion, sourceDepth) : targetBpp;
}

Bitmap applyOutputDepth(Bitmap image, const std::string& conversion, int32_t target) {
  if (!image) return image;
  if (static_cast<int32_t>(image.bpp()) == target) return image;
  switch (target) {
    case 96: image.reset(FreeImage_ConvertToRGBF(image.get())); return image;
    case 48: image.reset(FreeImage_ConvertToRGB16(image.get())); return image;
    case 32: image.reset(FreeImage_ConvertTo32Bits(image.get())); return image;
    case 24: image.reset(FreeImage_ConvertTo24Bits(image.get())); return image;
    case 16: return to16Bits(std::move(image), conversion);
    case 8: return to8Bits(std::move(image), conversion);
    case 4: image.reset(FreeImage_ConvertTo4Bits(image.get())); return image;
    case 1: image.reset(FreeImage_Dither(image.get(), FID_FS)); return image;
    default: return Bitmap();  // no conversion for this depth: the save fails
  }
}

int32_t computeSaveFlags(const std::string& extension, const SaveOptions& s) {
  if (extension == "tiff") return tiffFlags(s);
  if (extension == "bmp") return s.bmpCompression == BMPTGA_RLE ? BMP_SAVE_RLE : BMP_DEFAULT;
  if (extension == "exr") return exrFlags(s);
  if (extension == "jpg") return jpegFlags(s);
  if (extension == "jxr") return JXR_LOSSLESS;
  if (extension == "png") return pngFlags(s);
  if (extension == "tga") return s.tgaCompression == BMPTGA_RLE ? TARGA_SAVE_RLE : 0;
  if (extension == "webp") return WEBP_LOSSLESS;
  return 0;  // dds, gif, hdr, ico, j2k, jng, jp2, pbm, pcx, pfm, pgm, ppm, psd, wbmp, xpm
}

}  // namespace quorbix
