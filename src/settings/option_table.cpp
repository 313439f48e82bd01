#include "settings/option_table.h"

#include "settings/keyword_tables.h"
#include "settings/profile_reader.h"

namespace quorbix {
namespace {

using S = Settings;
using V = const std::string&;

// Field writers. The lambdas carry no state, so each converts to ApplyOption.
#define TEXT(field) [](S& s, V v) { s.field = v; return true; }
#define INTEGER(field) [](S& s, V v) { s.field = convertInteger(v); return true; }
#define KEYWORD(field, table) \
  [](S& s, V v) { s.field = static_cast<decltype(s.field)>(keywordCode(table, v)); return true; }
#define SWITCH(field) [](S& s, V) { s.field = true; return true; }
#define FLAG_INTEGER(flag, on, field) \
  [](S& s, V v) { s.flag = on; s.field = convertInteger(v); return true; }

using W = ValueWay;

const OptionRow kOptions[] = {
    {"--INPUT", "-I", W::ShortOrLongJoined, [](S& s, V v) { s.inputGiven = true; s.input = v; return true; }},
    {"--OUTPUT", "-O", W::ShortOrLongJoined, TEXT(output)},
    {"--CONVERSION", "-C", W::ShortOrLong, TEXT(conversion)},
    {"--DDS-LOAD-AS", "", W::Long, KEYWORD(ddsLoadAs, KT_DDS_LOAD_AS)},
    {"--GIF-FRAME-LOADING", "", W::Long, KEYWORD(gifFrameLoading, KT_FRAME_LOADING)},
    {"--ICO-FRAME-LOADING", "", W::Long, KEYWORD(icoFrameLoading, KT_FRAME_LOADING)},
    {"--RAW-LOAD-AS", "", W::Long, KEYWORD(rawLoadAs, KT_RAW_LOAD_AS)},
    {"--RAW-HEADER-SIZE", "", W::Long, INTEGER(rawHeaderSize)},
    {"--RAW-WIDTH", "", W::Long, INTEGER(rawWidth)},
    {"--RAW-HEIGHT", "", W::Long, INTEGER(rawHeight)},
    {"--RAW-TONE-MAPPING", "", W::Long, KEYWORD(rawToneMapping, KT_TONE_MAPPING)},
    {"--TIFF-FRAME-LOADING", "", W::Long, KEYWORD(tiffFrameLoading, KT_FRAME_LOADING)},
    {"--BMP-BPP", "", W::Long, INTEGER(bmpBpp)},
    {"--BMP-COMPRESSION", "", W::Long, KEYWORD(bmpCompression, KT_COMPRESSION)},
    {"--BMP-COLOR-TABLE", "", W::Long, KEYWORD(bmpColorTable, KT_COLOR_TABLE)},
    {"--DDS-BPP", "", W::Long, INTEGER(ddsBpp)},
    {"--EXR-BPP", "", W::Long, INTEGER(exrBpp)},
    {"--EXR-COMPRESSION", "", W::Long, KEYWORD(exrCompression, KT_COMPRESSION)},
    {"--GIF-BPP", "", W::Long, INTEGER(gifBpp)},
    {"--HDR-BPP", "", W::Long, INTEGER(hdrBpp)},
    {"--ICO-BPP", "", W::Long, INTEGER(icoBpp)},
    {"--J2K-BPP", "", W::Long, INTEGER(j2kBpp)},
    {"--JNG-BPP", "", W::Long, INTEGER(jngBpp)},
    {"--JP2-BPP", "", W::Long, INTEGER(jp2Bpp)},
    {"--JPG-BPP", "", W::Long, INTEGER(jpgBpp)},
    {"--JPG-QUALITY", "", W::Long, INTEGER(jpgQuality)},
    {"--JPG-CHROMA", "", W::Long, KEYWORD(jpgChroma, KT_CHROMA_SUBSAMPLING)},
    {"--JPG-SAVE-AS", "", W::Long, KEYWORD(jpgSaveAs, KT_JPEG_SAVE_AS)},
    {"--JXR-BPP", "", W::Long, INTEGER(jxrBpp)},
    {"--PBM-BPP", "", W::Long, INTEGER(pbmBpp)},
    {"--PCX-BPP", "", W::Long, INTEGER(pcxBpp)},
    {"--PFM-BPP", "", W::Long, INTEGER(pfmBpp)},
    {"--PGM-BPP", "", W::Long, INTEGER(pgmBpp)},
    {"--PNG-BPP", "", W::Long, INTEGER(pngBpp)},
    {"--PNG-COMPRESSION", "", W::Long, KEYWORD(pngCompression, KT_COMPRESSION)},
    {"--PNG-INTERLACED", "", W::Switch, SWITCH(pngInterlaced)},
    {"--PPM-BPP", "", W::Long, INTEGER(ppmBpp)},
    {"--PSD-BPP", "", W::Long, INTEGER(psdBpp)},
    {"--TGA-BPP", "", W::Long, INTEGER(tgaBpp)},
    {"--TGA-COMPRESSION", "", W::Long, KEYWORD(tgaCompression, KT_COMPRESSION)},
    {"--TIFF-BPP", "", W::Long, INTEGER(tiffBpp)},
    {"--TIFF-COMPRESSION", "", W::Long, KEYWORD(tiffCompression, KT_COMPRESSION)},
    {"--TIFF-COLOR-MODEL", "", W::Long, KEYWORD(tiffColorModel, KT_COLOR_MODEL)},
    {"--WBMP-BPP", "", W::Long, INTEGER(wbmpBpp)},
    {"--WEBP-BPP", "", W::Long, INTEGER(webpBpp)},
    {"--XPM-BPP", "", W::Long, INTEGER(xpmBpp)},
    {"--ROTATION-TYPE", "", W::Long, KEYWORD(rotationType, KT_ROTATION_TYPE)},
    {"--ROTATION", "", W::Long, FLAG_INTEGER(rotationOn, true, rotation)},
    {"--ROTATION-BACK-COLOR", "", W::LongJoined, TEXT(rotationBackColor)},
    {"--WIDTH", "", W::Long, FLAG_INTEGER(resizeOn, true, width)},
    {"--WIDTH-UNIT", "", W::Long, KEYWORD(widthUnit, KT_SIZE_UNIT)},
    {"--HEIGHT", "", W::Long, FLAG_INTEGER(resizeOn, true, height)},
    {"--HEIGHT-UNIT", "", W::Long, KEYWORD(heightUnit, KT_SIZE_UNIT)},
    {"--KEEP-ASPECT-RATIO", "", W::Switch, SWITCH(keepAspectRatio)},
    {"--RESIZE-TYPE", "", W::Long, KEYWORD(resizeType, KT_RESIZE_TYPE)},
    {"--RESIZE-ALGORITHM", "", W::Long, KEYWORD(resizeAlgorithm, KT_RESIZE_ALGORITHM)},
    {"--FLIP-HORIZONTAL", "", W::Switch, SWITCH(flipHorizontal)},
    {"--FLIP-VERTICAL", "", W::Switch, SWITCH(flipVertical)},
    {"--BRIGHTNESS", "", W::Long, FLAG_INTEGER(adjustOn, true, brightness)},
    {"--CONTRAST", "", W::Long, FLAG_INTEGER(adjustOn, true, contrast)},
    {"--GAMMA", "", W::Long, [](S& s, V v) { s.adjustOn = true; s.gamma = convertReal(v); return true; }},
    {"--INVERT", "", W::Switch, [](S& s, V) { s.adjustOn = true; s.invert = true; return true; }},
    {"--GREYSCALE", "", W::Switch, SWITCH(greyscale)},
    {"--THRESHOLD", "", W::Long, FLAG_INTEGER(thresholdOn, true, threshold)},
    {"--FR-SOLID-LEFT", "", W::Long, FLAG_INTEGER(frame, FRAME_SOLID, frSolidLeft)},
    {"--FR-SOLID-RIGHT", "", W::Long, FLAG_INTEGER(frame, FRAME_SOLID, frSolidRight)},
    {"--FR-SOLID-TOP", "", W::Long, FLAG_INTEGER(frame, FRAME_SOLID, frSolidTop)},
    {"--FR-SOLID-BOTTOM", "", W::Long, FLAG_INTEGER(frame, FRAME_SOLID, frSolidBottom)},
    {"--FR-SOLID-LEFT-COLOR", "", W::LongJoined, TEXT(frSolidLeftColor)},
    {"--FR-SOLID-RIGHT-COLOR", "", W::LongJoined, TEXT(frSolidRightColor)},
    {"--FR-SOLID-TOP-COLOR", "", W::LongJoined, TEXT(frSolidTopColor)},
    {"--FR-SOLID-BOTTOM-COLOR", "", W::LongJoined, TEXT(frSolidBottomColor)},
    {"--FR-SOLID-OPACITY", "", W::Long, INTEGER(frSolidOpacity)},
    {"--WM-TEXT", "", W::LongJoined, [](S& s, V v) { s.watermark = WATERMARK_TEXT; s.wmText = v; return true; }},
    {"--WM-FONT", "", W::LongJoined, TEXT(wmFont)},
    {"--WM-FONT-SIZE", "", W::Long, INTEGER(wmFontSize)},
    {"--WM-FONT-LEADING", "", W::Long, INTEGER(wmFontLeading)},
    {"--WM-FONT-COLOR", "", W::LongJoined, TEXT(wmFontColor)},
    {"--WM-FONT-STYLE", "", W::Long, KEYWORD(wmFontStyle, KT_FONT_STYLE)},
    {"--WM-FONT-EFFECT", "", W::Long, KEYWORD(wmFontEffect, KT_FONT_EFFECT)},
    {"--WM-TEXT-ANTIALIASING", "", W::Switch, SWITCH(wmTextAntialiasing)},
    {"--WM-TEXT-ALIGNMENT", "", W::Long, KEYWORD(wmTextAlignment, KT_TEXT_ALIGNMENT)},
    {"--WM-TEXT-PADDING", "", W::Long, INTEGER(wmTextPadding)},
    {"--WM-TEXT-OPACITY", "", W::Long, INTEGER(wmTextOpacity)},
    {"--WM-BACK-COLOR", "", W::LongJoined, TEXT(wmBackColor)},
    {"--WM-BACK-OPACITY", "", W::Long, INTEGER(wmBackOpacity)},
    {"--WM-TEXT-BOUNDARY", "", W::Long, KEYWORD(wmTextBoundary, KT_BOUNDARY)},
    {"--WM-TEXT-POSITION", "", W::Long, KEYWORD(wmTextPosition, KT_POSITION)},
    {"--WM-TEXT-X-OFFSET", "", W::Long, INTEGER(wmTextXOffset)},
    {"--WM-TEXT-Y-OFFSET", "", W::Long, INTEGER(wmTextYOffset)},
    {"--WM-TEXT-ROTATION", "", W::Long, INTEGER(wmTextRotation)},
    {"--WM-TEXT-SIZE", "", W::Long, KEYWORD(wmTextSize, KT_WATERMARK_SIZE)},
    {"--WM-IMAGE", "", W::LongJoined, [](S& s, V v) { s.watermark = WATERMARK_IMAGE; s.wmImage = v; return true; }},
    {"--WM-IMAGE-GREYSCALE", "", W::Switch, SWITCH(wmImageGreyscale)},
    {"--WM-IMAGE-OPACITY", "", W::Long, INTEGER(wmImageOpacity)},
    {"--WM-IMAGE-BOUNDARY", "", W::Long, KEYWORD(wmImageBoundary, KT_BOUNDARY)},
    {"--WM-IMAGE-POSITION", "", W::Long, KEYWORD(wmImagePosition, KT_POSITION)},
    {"--WM-IMAGE-X-OFFSET", "", W::Long, INTEGER(wmImageXOffset)},
    {"--WM-IMAGE-Y-OFFSET", "", W::Long, INTEGER(wmImageYOffset)},
    {"--WM-IMAGE-ROTATION", "", W::Long, INTEGER(wmImageRotation)},
    {"--WM-IMAGE-SIZE", "", W::Long, KEYWORD(wmImageSize, KT_WATERMARK_SIZE)},
    {"--FILENAME-MASK", "", W::LongJoined, TEXT(filenameMask)},
    {"--FILE-TIMESTAMP", "", W::Long, KEYWORD(fileTimestamp, KT_TIMESTAMP)},
    {"--FILE-TIMESTAMP-CUSTOM", "", W::Long, INTEGER(fileTimestampCustom)},
    {"--NO-SUBFOLDERS", "", W::Switch, SWITCH(noSubfolders)},
    {"--PROFILE", "", W::LongJoined, [](S& s, V v) { return readProfile(v, s); }},
    {"--DEBUG", "-D", W::Switch, SWITCH(debug)},
    {"--QUIET", "-Q", W::Switch, SWITCH(quiet)},
    {"--PAUSE", "-P", W::Switch, SWITCH(pause)},
};

#undef TEXT
#undef INTEGER
#undef KEYWORD
#undef SWITCH
#undef FLAG_INTEGER

}  // namespace

std::span<const OptionRow> optionTable() { return kOptions; }

const OptionRow* findOption(std::string_view upperName) {
  if (upperName.empty()) return nullptr;
  for (const OptionRow& row : kOptions) {
    if (row.longName == upperName || row.shortName == upperName) return &row;
  }
  return nullptr;
}

}  // namespace quorbix
