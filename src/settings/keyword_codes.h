// Numeric codes stored in Settings for keyword values. The code of a keyword
// is its position in its table (the Compression table restarts at 0 per
// format group). The spelled-out tables live in settings/keyword_tables.h.
#pragma once

namespace quorbix {

enum DdsLoadAs { DDS_LOAD_AUTO = 0, DDS_LOAD_BGRA = 1, DDS_LOAD_RGBA = 2 };
enum RawLoadAs { RAW_LOAD_AUTO = 0, RAW_LOAD_8, RAW_LOAD_16, RAW_LOAD_24, RAW_LOAD_48HS, RAW_LOAD_48 };
enum FrameLoading { FRAMES_ALL = 0, FRAMES_FIRST, FRAMES_MIDDLE, FRAMES_LAST, FRAMES_RANDOM };
enum ToneMapping { TONE_NONE = 0, TONE_LINEAR, TONE_AL, TONE_DRR, TONE_GD };
enum PcdTone { PCD_TONE_DISPLAY = 0, PCD_TONE_FULLRANGE = 1 };

// Compression codes, per format group.
enum BmpTgaCompression { BMPTGA_NONE = 0, BMPTGA_RLE = 1 };
enum ExrCompression { EXRC_NONE = 0, EXRC_ZIP, EXRC_PIZ, EXRC_PXR24, EXRC_B44 };
enum PngCompression { PNGC_NONE = 0, PNGC_ZLIB1, PNGC_ZLIB6, PNGC_ZLIB9 };
enum TiffCompression {
  TIFFC_NONE = 0, TIFFC_CCITTFAX3, TIFFC_CCITTFAX4, TIFFC_PACKBITS, TIFFC_DEFLATE,
  TIFFC_ADOBEDEFLATE, TIFFC_LZW, TIFFC_JPEG, TIFFC_LOGLUV
};

enum ColorTable { COLOR_TABLE_AUTO = 0, COLOR_TABLE_EXACT = 1 };
enum ColorModel { COLOR_MODEL_RGB = 0, COLOR_MODEL_CMYK = 1, COLOR_MODEL_LAB = 2 };
enum ChromaSubsampling { CHROMA_NONE = 0, CHROMA_LOW, CHROMA_MEDIUM, CHROMA_HIGH };
enum JpegSaveAs { JPEG_SAVE_STANDARD = 0, JPEG_SAVE_SIMPLE, JPEG_SAVE_OPTIMIZED, JPEG_SAVE_PROGRESSIVE };
enum RotationType { ROTATION_SIMPLE = 0, ROTATION_ADVANCED = 1 };
enum SizeUnit { UNIT_PIXELS = 0, UNIT_PERCENT = 1 };
enum ResizeType { RESIZE_ALLIMAGES = 0, RESIZE_LARGEIMAGES = 1 };
enum ResizeAlgorithm { ALGO_BOX = 0, ALGO_BILINEAR, ALGO_BSPLINE, ALGO_BICUBIC, ALGO_CATMULLROM, ALGO_LANCZOS };
enum FrameType { FRAME_NONE = 0, FRAME_SOLID = 1 };
enum WatermarkType { WATERMARK_NONE = 0, WATERMARK_TEXT = 1, WATERMARK_IMAGE = 2 };
enum FontStyle { STYLE_REGULAR = 0, STYLE_BOLD, STYLE_ITALIC, STYLE_BOLDITALIC };
enum FontEffect { EFFECT_NONE = 0, EFFECT_UNDERLINE, EFFECT_STRIKETHROUGHT };
enum TextAlignment { ALIGN_LEFT = 0, ALIGN_CENTER, ALIGN_RIGHT };
enum Boundary { BOUNDARY_IMAGE = 0, BOUNDARY_FRAME = 1 };
enum Position {
  POS_TOPLEFT = 0, POS_TOPCENTER, POS_TOPRIGHT,
  POS_MIDDLELEFT, POS_MIDDLECENTER, POS_MIDDLERIGHT,
  POS_BOTTOMLEFT, POS_BOTTOMCENTER, POS_BOTTOMRIGHT
};
enum WatermarkSize { WM_SIZE_FIXED = 0 };
enum Timestamp { TIMESTAMP_CURRENT = 0, TIMESTAMP_ORIGINAL = 1, TIMESTAMP_CUSTOM = 2 };

}  // namespace quorbix
