// The options of a run as read from the command line and profiles: the job
// options and the conversion settings, plain values grouped by what uses
// them. Every field is named after its command-line option in lower camel
// case (--jpg-quality is save.jpgQuality). The driver owns one record for the
// length of the run; the option loop and the job's preparation write it on the
// main thread, and afterwards it is only read. What the job derives from it
// lives in RunContext, what changes per file in FileState (both in
// convert/run_context.h).
#pragma once

#include <cstdint>
#include <string>

#include "settings/keyword_codes.h"

namespace quorbix {

struct JobOptions {
  std::string input;
  std::string output;
  std::string conversion;
  bool inputGiven = false;
  bool debug = false;
  bool quiet = false;
  bool pause = false;
  // --jobs as written: how many files may be in work at once.
  bool jobsGiven = false;
  std::string jobs;
  // --report: the JSON Lines report's path as written; empty: none.
  std::string report;
  // --exit-codes: the exit status tells how the run went (0 otherwise).
  bool exitCodes = false;
  // --skip-existing: an input whose output is there already is left alone.
  bool skipExisting = false;
};

// How input pictures are read.
struct LoadOptions {
  int32_t ddsLoadAs = DDS_LOAD_AUTO;
  int32_t gifFrameLoading = FRAMES_ALL;
  int32_t icoFrameLoading = FRAMES_ALL;
  int32_t tiffFrameLoading = FRAMES_ALL;
  int32_t rawLoadAs = RAW_LOAD_AUTO;
  int32_t rawHeaderSize = 0;
  int32_t rawWidth = 0;
  int32_t rawHeight = 0;
  int32_t rawToneMapping = TONE_AL;
  // --pcd-tone: how our converter renders PhotoYCC's tones in sRGB.
  int32_t pcdTone = PCD_TONE_DISPLAY;
};

// How each output format is written: depth, compression and the like.
struct SaveOptions {
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
};

struct RotateOptions {
  bool rotationOn = false;
  uint8_t rotationType = ROTATION_SIMPLE;
  int32_t rotation = 0;
  std::string rotationBackColor = "000000";
};

struct ResizeOptions {
  bool resizeOn = false;
  int32_t width = 0;
  uint8_t widthUnit = UNIT_PIXELS;
  int32_t height = 0;
  uint8_t heightUnit = UNIT_PIXELS;
  bool keepAspectRatio = false;
  uint8_t resizeType = RESIZE_ALLIMAGES;
  uint8_t resizeAlgorithm = ALGO_BICUBIC;
};

struct FlipOptions {
  bool flipHorizontal = false;
  bool flipVertical = false;
};

struct AdjustOptions {
  bool adjustOn = false;
  int32_t brightness = 0;
  int32_t contrast = 0;
  float gamma = 1.0f;
  bool invert = false;
};

struct GreyscaleOptions {
  bool greyscale = false;
};

struct ThresholdOptions {
  bool thresholdOn = false;
  int32_t threshold = 0;
};

struct FrameOptions {
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
};

struct TextWatermarkOptions {
  std::string wmText;  // the ownership notice by default (setDefaults())
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
};

struct PictureWatermarkOptions {
  std::string wmImage;
  bool wmImageGreyscale = false;
  int32_t wmImageOpacity = 255;
  uint8_t wmImageBoundary = BOUNDARY_IMAGE;
  uint8_t wmImagePosition = POS_BOTTOMRIGHT;
  int32_t wmImageXOffset = 10;
  int32_t wmImageYOffset = 10;
  int32_t wmImageRotation = 0;
  uint8_t wmImageSize = WM_SIZE_FIXED;
};

// The watermark kind (--wm-text and --wm-image choose it) with the options
// of both kinds.
struct WatermarkOptions {
  uint8_t watermark = WATERMARK_NONE;
  TextWatermarkOptions text;
  PictureWatermarkOptions picture;
};

// Output names, sub-folders and file times.
struct NamingOptions {
  std::string filenameMask = "%filename%.%ext%";
  uint8_t fileTimestamp = TIMESTAMP_CURRENT;
  int32_t fileTimestampCustom = 0;  // "now" by default (setDefaults())
  bool noSubfolders = false;
};

struct Settings {
  JobOptions job;

  // The conversion settings, in record order.
  LoadOptions load;
  SaveOptions save;
  RotateOptions rotate;
  ResizeOptions resize;
  FlipOptions flip;
  AdjustOptions adjust;
  GreyscaleOptions greyscale;
  ThresholdOptions threshold;
  FrameOptions frame;
  WatermarkOptions watermark;
  NamingOptions naming;
};

}  // namespace quorbix
