#include "settings/option_table.h"

#include "settings/keyword_tables.h"
#include "settings/profile_reader.h"

namespace quorbix {
namespace {

using S = Settings;
using V = const std::string&;
using N = Warnings&;

// Field writers. The lambdas carry no state, so each converts to ApplyOption.
#define TEXT(field) [](S& s, V v, N) { s.field = v; return true; }
#define INTEGER(field) [](S& s, V v, N) { s.field = convertInteger(v); return true; }
// A keyword row's writer is followed by its table (and, for the compression
// options, the format group), the row's last fields.
#define KEYWORD(field, table) \
  [](S& s, V v, N) { s.field = static_cast<decltype(s.field)>(keywordCode(table, v)); return true; }, table
#define COMPRESSION(field, group) KEYWORD(field, KT_COMPRESSION), CompressionGroup::group
#define SWITCH(field) [](S& s, V, N) { s.field = true; return true; }
#define FLAG_INTEGER(flag, on, field) \
  [](S& s, V v, N) { s.flag = on; s.field = convertInteger(v); return true; }

using W = ValueWay;

const OptionRow kOptions[] = {
    {"--INPUT", "-I", W::ShortOrLongJoined, [](S& s, V v, N) { s.job.inputGiven = true; s.job.input = v; return true; }},
    {"--OUTPUT", "-O", W::ShortOrLongJoined, TEXT(job.output)},
    {"--CONVERSION", "-C", W::ShortOrLong, TEXT(job.conversion)},
    {"--DDS-LOAD-AS", "", W::Long, KEYWORD(load.ddsLoadAs, KT_DDS_LOAD_AS)},
    {"--GIF-FRAME-LOADING", "", W::Long, KEYWORD(load.gifFrameLoading, KT_FRAME_LOADING)},
    {"--ICO-FRAME-LOADING", "", W::Long, KEYWORD(load.icoFrameLoading, KT_FRAME_LOADING)},
    {"--RAW-LOAD-AS", "", W::Long, KEYWORD(load.rawLoadAs, KT_RAW_LOAD_AS)},
    {"--RAW-HEADER-SIZE", "", W::Long, INTEGER(load.rawHeaderSize)},
    {"--RAW-WIDTH", "", W::Long, INTEGER(load.rawWidth)},
    {"--RAW-HEIGHT", "", W::Long, INTEGER(load.rawHeight)},
    {"--RAW-TONE-MAPPING", "", W::Long, KEYWORD(load.rawToneMapping, KT_TONE_MAPPING)},
    {"--TIFF-FRAME-LOADING", "", W::Long, KEYWORD(load.tiffFrameLoading, KT_FRAME_LOADING)},
    {"--PCD-TONE", "", W::Long, KEYWORD(load.pcdTone, KT_PCD_TONE)},
    {"--BMP-BPP", "", W::Long, INTEGER(save.bmpBpp)},
    {"--BMP-COMPRESSION", "", W::Long, COMPRESSION(save.bmpCompression, BmpTga)},
    {"--BMP-COLOR-TABLE", "", W::Long, KEYWORD(save.bmpColorTable, KT_COLOR_TABLE)},
    {"--DDS-BPP", "", W::Long, INTEGER(save.ddsBpp)},
    {"--EXR-BPP", "", W::Long, INTEGER(save.exrBpp)},
    {"--EXR-COMPRESSION", "", W::Long, COMPRESSION(save.exrCompression, Exr)},
    {"--GIF-BPP", "", W::Long, INTEGER(save.gifBpp)},
    {"--HDR-BPP", "", W::Long, INTEGER(save.hdrBpp)},
    {"--ICO-BPP", "", W::Long, INTEGER(save.icoBpp)},
    {"--J2K-BPP", "", W::Long, INTEGER(save.j2kBpp)},
    {"--JNG-BPP", "", W::Long, INTEGER(save.jngBpp)},
    {"--JP2-BPP", "", W::Long, INTEGER(save.jp2Bpp)},
    {"--JPG-BPP", "", W::Long, INTEGER(save.jpgBpp)},
    {"--JPG-QUALITY", "", W::Long, INTEGER(save.jpgQuality)},
    {"--JPG-CHROMA", "", W::Long, KEYWORD(save.jpgChroma, KT_CHROMA_SUBSAMPLING)},
    {"--JPG-SAVE-AS", "", W::Long, KEYWORD(save.jpgSaveAs, KT_JPEG_SAVE_AS)},
    {"--JXR-BPP", "", W::Long, INTEGER(save.jxrBpp)},
    {"--PBM-BPP", "", W::Long, INTEGER(save.pbmBpp)},
    {"--PCX-BPP", "", W::Long, INTEGER(save.pcxBpp)},
    {"--PFM-BPP", "", W::Long, INTEGER(save.pfmBpp)},
    {"--PGM-BPP", "", W::Long, INTEGER(save.pgmBpp)},
    {"--PNG-BPP", "", W::Long, INTEGER(save.pngBpp)},
    {"--PNG-COMPRESSION", "", W::Long, COMPRESSION(save.pngCompression, Png)},
    {"--PNG-INTERLACED", "", W::Switch, SWITCH(save.pngInterlaced)},
    {"--PPM-BPP", "", W::Long, INTEGER(save.ppmBpp)},
    {"--PSD-BPP", "", W::Long, INTEGER(save.psdBpp)},
    {"--TGA-BPP", "", W::Long, INTEGER(save.tgaBpp)},
    {"--TGA-COMPRESSION", "", W::Long, COMPRESSION(save.tgaCompression, BmpTga)},
    {"--TIFF-BPP", "", W::Long, INTEGER(save.tiffBpp)},
    {"--TIFF-COMPRESSION", "", W::Long, COMPRESSION(save.tiffCompression, Tiff)},
    {"--TIFF-COLOR-MODEL", "", W::Long, KEYWORD(save.tiffColorModel, KT_COLOR_MODEL)},
    {"--WBMP-BPP", "", W::Long, INTEGER(save.wbmpBpp)},
    {"--WEBP-BPP", "", W::Long, INTEGER(save.webpBpp)},
    {"--XPM-BPP", "", W::Long, INTEGER(save.xpmBpp)},
    {"--ROTATION-TYPE", "", W::Long, KEYWORD(rotate.rotationType, KT_ROTATION_TYPE)},
    {"--ROTATION", "", W::Long, FLAG_INTEGER(rotate.rotationOn, true, rotate.rotation)},
    {"--ROTATION-BACK-COLOR", "", W::LongJoined, TEXT(rotate.rotationBackColor)},
    {"--WIDTH", "", W::Long, FLAG_INTEGER(resize.resizeOn, true, resize.width)},
    {"--WIDTH-UNIT", "", W::Long, KEYWORD(resize.widthUnit, KT_SIZE_UNIT)},
    {"--HEIGHT", "", W::Long, FLAG_INTEGER(resize.resizeOn, true, resize.height)},
    {"--HEIGHT-UNIT", "", W::Long, KEYWORD(resize.heightUnit, KT_SIZE_UNIT)},
    {"--KEEP-ASPECT-RATIO", "", W::Switch, SWITCH(resize.keepAspectRatio)},
    {"--RESIZE-TYPE", "", W::Long, KEYWORD(resize.resizeType, KT_RESIZE_TYPE)},
    {"--RESIZE-ALGORITHM", "", W::Long, KEYWORD(resize.resizeAlgorithm, KT_RESIZE_ALGORITHM)},
    {"--FLIP-HORIZONTAL", "", W::Switch, SWITCH(flip.flipHorizontal)},
    {"--FLIP-VERTICAL", "", W::Switch, SWITCH(flip.flipVertical)},
    {"--BRIGHTNESS", "", W::Long, FLAG_INTEGER(adjust.adjustOn, true, adjust.brightness)},
    {"--CONTRAST", "", W::Long, FLAG_INTEGER(adjust.adjustOn, true, adjust.contrast)},
    {"--GAMMA", "", W::Long, [](S& s, V v, N) { s.adjust.adjustOn = true; s.adjust.gamma = convertReal(v); return true; }},
    {"--INVERT", "", W::Switch, [](S& s, V, N) { s.adjust.adjustOn = true; s.adjust.invert = true; return true; }},
    {"--GREYSCALE", "", W::Switch, SWITCH(greyscale.greyscale)},
    {"--THRESHOLD", "", W::Long, FLAG_INTEGER(threshold.thresholdOn, true, threshold.threshold)},
    {"--FR-SOLID-LEFT", "", W::Long, FLAG_INTEGER(frame.frame, FRAME_SOLID, frame.frSolidLeft)},
    {"--FR-SOLID-RIGHT", "", W::Long, FLAG_INTEGER(frame.frame, FRAME_SOLID, frame.frSolidRight)},
    {"--FR-SOLID-TOP", "", W::Long, FLAG_INTEGER(frame.frame, FRAME_SOLID, frame.frSolidTop)},
    {"--FR-SOLID-BOTTOM", "", W::Long, FLAG_INTEGER(frame.frame, FRAME_SOLID, frame.frSolidBottom)},
    {"--FR-SOLID-LEFT-COLOR", "", W::LongJoined, TEXT(frame.frSolidLeftColor)},
    {"--FR-SOLID-RIGHT-COLOR", "", W::LongJoined, TEXT(frame.frSolidRightColor)},
    {"--FR-SOLID-TOP-COLOR", "", W::LongJoined, TEXT(frame.frSolidTopColor)},
    {"--FR-SOLID-BOTTOM-COLOR", "", W::LongJoined, TEXT(frame.frSolidBottomColor)},
    {"--FR-SOLID-OPACITY", "", W::Long, INTEGER(frame.frSolidOpacity)},
    {"--WM-TEXT", "", W::LongJoined, [](S& s, V v, N) { s.watermark.watermark = WATERMARK_TEXT; s.watermark.text.wmText = v; return true; }},
    {"--WM-FONT", "", W::LongJoined, TEXT(watermark.text.wmFont)},
    {"--WM-FONT-SIZE", "", W::Long, INTEGER(watermark.text.wmFontSize)},
    {"--WM-FONT-LEADING", "", W::Long, INTEGER(watermark.text.wmFontLeading)},
    {"--WM-FONT-COLOR", "", W::LongJoined, TEXT(watermark.text.wmFontColor)},
    {"--WM-FONT-STYLE", "", W::Long, KEYWORD(watermark.text.wmFontStyle, KT_FONT_STYLE)},
    {"--WM-FONT-EFFECT", "", W::Long, KEYWORD(watermark.text.wmFontEffect, KT_FONT_EFFECT)},
    {"--WM-TEXT-ANTIALIASING", "", W::Switch, SWITCH(watermark.text.wmTextAntialiasing)},
    {"--WM-TEXT-ALIGNMENT", "", W::Long, KEYWORD(watermark.text.wmTextAlignment, KT_TEXT_ALIGNMENT)},
    {"--WM-TEXT-PADDING", "", W::Long, INTEGER(watermark.text.wmTextPadding)},
    {"--WM-TEXT-OPACITY", "", W::Long, INTEGER(watermark.text.wmTextOpacity)},
    {"--WM-BACK-COLOR", "", W::LongJoined, TEXT(watermark.text.wmBackColor)},
    {"--WM-BACK-OPACITY", "", W::Long, INTEGER(watermark.text.wmBackOpacity)},
    {"--WM-TEXT-BOUNDARY", "", W::Long, KEYWORD(watermark.text.wmTextBoundary, KT_BOUNDARY)},
    {"--WM-TEXT-POSITION", "", W::Long, KEYWORD(watermark.text.wmTextPosition, KT_POSITION)},
    {"--WM-TEXT-X-OFFSET", "", W::Long, INTEGER(watermark.text.wmTextXOffset)},
    {"--WM-TEXT-Y-OFFSET", "", W::Long, INTEGER(watermark.text.wmTextYOffset)},
    {"--WM-TEXT-ROTATION", "", W::Long, INTEGER(watermark.text.wmTextRotation)},
    {"--WM-TEXT-SIZE", "", W::Long, KEYWORD(watermark.text.wmTextSize, KT_WATERMARK_SIZE)},
    {"--WM-IMAGE", "", W::LongJoined, [](S& s, V v, N) { s.watermark.watermark = WATERMARK_IMAGE; s.watermark.picture.wmImage = v; return true; }},
    {"--WM-IMAGE-GREYSCALE", "", W::Switch, SWITCH(watermark.picture.wmImageGreyscale)},
    {"--WM-IMAGE-OPACITY", "", W::Long, INTEGER(watermark.picture.wmImageOpacity)},
    {"--WM-IMAGE-BOUNDARY", "", W::Long, KEYWORD(watermark.picture.wmImageBoundary, KT_BOUNDARY)},
    {"--WM-IMAGE-POSITION", "", W::Long, KEYWORD(watermark.picture.wmImagePosition, KT_POSITION)},
    {"--WM-IMAGE-X-OFFSET", "", W::Long, INTEGER(watermark.picture.wmImageXOffset)},
    {"--WM-IMAGE-Y-OFFSET", "", W::Long, INTEGER(watermark.picture.wmImageYOffset)},
    {"--WM-IMAGE-ROTATION", "", W::Long, INTEGER(watermark.picture.wmImageRotation)},
    {"--WM-IMAGE-SIZE", "", W::Long, KEYWORD(watermark.picture.wmImageSize, KT_WATERMARK_SIZE)},
    {"--FILENAME-MASK", "", W::LongJoined, TEXT(naming.filenameMask)},
    {"--FILE-TIMESTAMP", "", W::Long, KEYWORD(naming.fileTimestamp, KT_TIMESTAMP)},
    {"--FILE-TIMESTAMP-CUSTOM", "", W::Long, INTEGER(naming.fileTimestampCustom)},
    {"--NO-SUBFOLDERS", "", W::Switch, SWITCH(naming.noSubfolders)},
    {"--PROFILE", "", W::LongJoined, [](S& s, V v, N w) { return readProfile(v, s, &w); }},
    {"--DEBUG", "-D", W::Switch, SWITCH(job.debug)},
    {"--QUIET", "-Q", W::Switch, SWITCH(job.quiet)},
    {"--PAUSE", "-P", W::Switch, SWITCH(job.pause)},
    {"--JOBS", "", W::Long, [](S& s, V v, N) { s.job.jobsGiven = true; s.job.jobs = v; return true; }},
    {"--REPORT", "", W::LongJoined, TEXT(job.report)},
    {"--EXIT-CODES", "", W::Switch, SWITCH(job.exitCodes)},
    {"--SKIP-EXISTING", "", W::Switch, SWITCH(job.skipExisting)},
};

#undef TEXT
#undef INTEGER
#undef KEYWORD
#undef COMPRESSION
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
