// The one record of a run: the job fields, every conversion setting (named
// after its command-line option in lower camel case: --jpg-quality is
// jpgQuality), and the values the job derives per run and per file. Written by
// the main thread before the worker starts; afterwards the worker owns the
// per-file fields and everything else is read-only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "settings/keyword_codes.h"

namespace quorbix {

namespace drawing {
class Font;
}

struct Settings {
  // ---- Job fields -------------------------------------------------------
  std::string input;
  std::string output;
  std::string conversion;
  bool inputGiven = false;
  bool debug = false;
  bool quiet = false;
  bool pause = false;

  // ---- Conversion settings, in record order -----------------------------
  int32_t ddsLoadAs = DDS_LOAD_AUTO;
  int32_t gifFrameLoading = FRAMES_ALL;
  int32_t icoFrameLoading = FRAMES_ALL;
  int32_t tiffFrameLoading = FRAMES_ALL;
  int32_t rawLoadAs = RAW_LOAD_AUTO;
  int32_t rawHeaderSize = 0;
  int32_t rawWidth = 0;
  int32_t rawHeight = 0;
  int32_t rawToneMapping = TONE_AL;
  int32_t bmpBpp = 0;
  int32_t bmpCompression = BMPTGA_NONE;
  int32_t bmpColorTable = COLOR_TABLE_AUTO;
  int32_t ddsBpp = 0;
  int32_t exrBpp = 0;
  int32_t exrCompression = EXRC_NONE;
  int32_t gifBpp = 0;
  int32_t hdrBpp = 0;
  int32_t icoBpp = 0;
  int32_t j2kBpp = 0;
  int32_t jngBpp = 0;
  int32_t jp2Bpp = 0;
  int32_t jpgBpp = 0;
  int32_t jpgQuality = 95;
  int32_t jpgChroma = CHROMA_NONE;
  int32_t jpgSaveAs = JPEG_SAVE_STANDARD;
  int32_t jxrBpp = 0;
  int32_t pbmBpp = 0;
  int32_t pcxBpp = 0;
  int32_t pfmBpp = 0;
  int32_t pgmBpp = 0;
  int32_t pngBpp = 0;
  int32_t pngCompression = PNGC_NONE;
  bool pngInterlaced = false;
  int32_t ppmBpp = 0;
  int32_t psdBpp = 0;
  int32_t tgaBpp = 0;
  int32_t tgaCompression = BMPTGA_NONE;
  int32_t tiffBpp = 0;
  int32_t tiffCompression = TIFFC_NONE;
  int32_t tiffColorModel = COLOR_MODEL_RGB;
  int32_t wbmpBpp = 0;
  int32_t webpBpp = 0;
  int32_t xpmBpp = 0;

  bool rotationOn = false;
  uint8_t rotationType = ROTATION_SIMPLE;
  int32_t rotation = 0;
  std::string rotationBackColor = "000000";

  bool resizeOn = false;
  int32_t width = 0;
  uint8_t widthUnit = UNIT_PIXELS;
  int32_t height = 0;
  uint8_t heightUnit = UNIT_PIXELS;
  bool keepAspectRatio = false;
  uint8_t resizeType = RESIZE_ALLIMAGES;
  uint8_t resizeAlgorithm = ALGO_BICUBIC;
  bool flipHorizontal = false;
  bool flipVertical = false;

  bool adjustOn = false;
  int32_t brightness = 0;
  int32_t contrast = 0;
  float gamma = 1.0f;
  bool invert = false;
  bool greyscale = false;
  bool thresholdOn = false;
  int32_t threshold = 0;

  uint8_t frame = FRAME_NONE;
  int32_t frSolidLeft = 0;
  int32_t frSolidRight = 0;
  int32_t frSolidTop = 0;
  int32_t frSolidBottom = 0;
  std::string frSolidLeftColor = "000000";
  std::string frSolidRightColor = "000000";
  std::string frSolidTopColor = "000000";
  std::string frSolidBottomColor = "000000";
  int32_t frSolidOpacity = 255;

  uint8_t watermark = WATERMARK_NONE;
  std::string wmText;  // set to the ownership notice by setDefaults()
  std::string wmFont = "Arial";
  int32_t wmFontSize = 14;
  int32_t wmFontLeading = 0;
  std::string wmFontColor = "FFFFFF";
  uint8_t wmFontStyle = STYLE_REGULAR;
  uint8_t wmFontEffect = EFFECT_NONE;
  bool wmTextAntialiasing = false;
  uint8_t wmTextAlignment = ALIGN_LEFT;
  int32_t wmTextPadding = 0;
  int32_t wmTextOpacity = 255;
  std::string wmBackColor = "000000";
  int32_t wmBackOpacity = 1;
  uint8_t wmTextBoundary = BOUNDARY_IMAGE;
  uint8_t wmTextPosition = POS_BOTTOMRIGHT;
  int32_t wmTextXOffset = 10;
  int32_t wmTextYOffset = 10;
  int32_t wmTextRotation = 0;
  uint8_t wmTextSize = WM_SIZE_FIXED;
  std::string wmImage;
  bool wmImageGreyscale = false;
  int32_t wmImageOpacity = 255;
  uint8_t wmImageBoundary = BOUNDARY_IMAGE;
  uint8_t wmImagePosition = POS_BOTTOMRIGHT;
  int32_t wmImageXOffset = 10;
  int32_t wmImageYOffset = 10;
  int32_t wmImageRotation = 0;
  uint8_t wmImageSize = WM_SIZE_FIXED;

  std::string filenameMask = "%filename%.%ext%";
  uint8_t fileTimestamp = TIMESTAMP_CURRENT;
  int32_t fileTimestampCustom = 0;  // set to "now" by setDefaults()
  bool noSubfolders = false;

  // ---- Derived by the job (per run) --------------------------------------
  std::string programFolder;   // folder of the executable, ends in "/"
  std::string inputFile;       // the input file, or the current file while converting
  std::string inputFormat;
  int32_t outputFormatId = 0;  // FREE_IMAGE_FORMAT of CONVERSION
  int32_t targetBpp = 0;
  bool keepSourceDepth = false;
  int32_t saveFlags = 0;
  std::shared_ptr<drawing::Font> watermarkFont;

  // ---- Per file (written by the worker and convertFile) -----------------
  std::string relativeFolder;  // sub-folder below the input folder, ends in "/", or empty
  std::string outputPath;
  int32_t sourceDepth = 0;
  int32_t resizedWidth = 0;
  int32_t resizedHeight = 0;
  int32_t randomNumber = 1;
  int32_t fileCounter = 1;
};

// The process-wide record used by the program; tests build their own.
Settings& globalSettings();

}  // namespace quorbix
