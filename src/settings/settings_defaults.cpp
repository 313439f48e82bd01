#include "settings/settings_defaults.h"

#include "base/product.h"
#include "platform/clock.h"

namespace quorbix {

void resetJobFields(Settings& settings) {
  settings.input.clear();
  settings.output.clear();
  settings.conversion.clear();
  settings.inputGiven = false;
  settings.debug = false;
  settings.quiet = false;
  settings.pause = false;
}

void setDefaults(Settings& s) {
  // The defaults live in one place, the member initialisers of Settings;
  // each conversion setting is copied from a fresh record, in record order.
  Settings d;
  d.wmText = product::kOwnershipNotice;
  d.fileTimestampCustom =
      static_cast<int32_t>(platform::dateValueFromUnix(platform::unixNow()));
  s.ddsLoadAs = d.ddsLoadAs;
  s.gifFrameLoading = d.gifFrameLoading;
  s.icoFrameLoading = d.icoFrameLoading;
  s.tiffFrameLoading = d.tiffFrameLoading;
  s.rawLoadAs = d.rawLoadAs;
  s.rawHeaderSize = d.rawHeaderSize;
  s.rawWidth = d.rawWidth;
  s.rawHeight = d.rawHeight;
  s.rawToneMapping = d.rawToneMapping;
  s.bmpBpp = d.bmpBpp;
  s.bmpCompression = d.bmpCompression;
  s.bmpColorTable = d.bmpColorTable;
  s.ddsBpp = d.ddsBpp;
  s.exrBpp = d.exrBpp;
  s.exrCompression = d.exrCompression;
  s.gifBpp = d.gifBpp;
  s.hdrBpp = d.hdrBpp;
  s.icoBpp = d.icoBpp;
  s.j2kBpp = d.j2kBpp;
  s.jngBpp = d.jngBpp;
  s.jp2Bpp = d.jp2Bpp;
  s.jpgBpp = d.jpgBpp;
  s.jpgQuality = d.jpgQuality;
  s.jpgChroma = d.jpgChroma;
  s.jpgSaveAs = d.jpgSaveAs;
  s.jxrBpp = d.jxrBpp;
  s.pbmBpp = d.pbmBpp;
  s.pcxBpp = d.pcxBpp;
  s.pfmBpp = d.pfmBpp;
  s.pgmBpp = d.pgmBpp;
  s.pngBpp = d.pngBpp;
  s.pngCompression = d.pngCompression;
  s.pngInterlaced = d.pngInterlaced;
  s.ppmBpp = d.ppmBpp;
  s.psdBpp = d.psdBpp;
  s.tgaBpp = d.tgaBpp;
  s.tgaCompression = d.tgaCompression;
  s.tiffBpp = d.tiffBpp;
  s.tiffCompression = d.tiffCompression;
  s.tiffColorModel = d.tiffColorModel;
  s.wbmpBpp = d.wbmpBpp;
  s.webpBpp = d.webpBpp;
  s.xpmBpp = d.xpmBpp;
  s.rotationOn = d.rotationOn;
  s.rotationType = d.rotationType;
  s.rotation = d.rotation;
  s.rotationBackColor = d.rotationBackColor;
  s.resizeOn = d.resizeOn;
  s.width = d.width;
  s.widthUnit = d.widthUnit;
  s.height = d.height;
  s.heightUnit = d.heightUnit;
  s.keepAspectRatio = d.keepAspectRatio;
  s.resizeType = d.resizeType;
  s.resizeAlgorithm = d.resizeAlgorithm;
  s.flipHorizontal = d.flipHorizontal;
  s.flipVertical = d.flipVertical;
  s.adjustOn = d.adjustOn;
  s.brightness = d.brightness;
  s.contrast = d.contrast;
  s.gamma = d.gamma;
  s.invert = d.invert;
  s.greyscale = d.greyscale;
  s.thresholdOn = d.thresholdOn;
  s.threshold = d.threshold;
  s.frame = d.frame;
  s.frSolidLeft = d.frSolidLeft;
  s.frSolidRight = d.frSolidRight;
  s.frSolidTop = d.frSolidTop;
  s.frSolidBottom = d.frSolidBottom;
  s.frSolidLeftColor = d.frSolidLeftColor;
  s.frSolidRightColor = d.frSolidRightColor;
  s.frSolidTopColor = d.frSolidTopColor;
  s.frSolidBottomColor = d.frSolidBottomColor;
  s.frSolidOpacity = d.frSolidOpacity;
  s.watermark = d.watermark;
  s.wmText = d.wmText;
  s.wmFont = d.wmFont;
  s.wmFontSize = d.wmFontSize;
  s.wmFontLeading = d.wmFontLeading;
  s.wmFontColor = d.wmFontColor;
  s.wmFontStyle = d.wmFontStyle;
  s.wmFontEffect = d.wmFontEffect;
  s.wmTextAntialiasing = d.wmTextAntialiasing;
  s.wmTextAlignment = d.wmTextAlignment;
  s.wmTextPadding = d.wmTextPadding;
  s.wmTextOpacity = d.wmTextOpacity;
  s.wmBackColor = d.wmBackColor;
  s.wmBackOpacity = d.wmBackOpacity;
  s.wmTextBoundary = d.wmTextBoundary;
  s.wmTextPosition = d.wmTextPosition;
  s.wmTextXOffset = d.wmTextXOffset;
  s.wmTextYOffset = d.wmTextYOffset;
  s.wmTextRotation = d.wmTextRotation;
  s.wmTextSize = d.wmTextSize;
  s.wmImage = d.wmImage;
  s.wmImageGreyscale = d.wmImageGreyscale;
  s.wmImageOpacity = d.wmImageOpacity;
  s.wmImageBoundary = d.wmImageBoundary;
  s.wmImagePosition = d.wmImagePosition;
  s.wmImageXOffset = d.wmImageXOffset;
  s.wmImageYOffset = d.wmImageYOffset;
  s.wmImageRotation = d.wmImageRotation;
  s.wmImageSize = d.wmImageSize;
  s.filenameMask = d.filenameMask;
  s.fileTimestamp = d.fileTimestamp;
  s.fileTimestampCustom = d.fileTimestampCustom;
  s.noSubfolders = d.noSubfolders;
}

}  // namespace quorbix
