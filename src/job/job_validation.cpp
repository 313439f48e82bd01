#include "job/job_validation.h"

#include <cstdio>
#include <string>

#include "base/file_names.h"
#include "image/output_depth.h"
#include "settings/keyword_tables.h"
#include "job/folder_rule.h"
#include "platform/file_system.h"
#include "settings/keyword_tables.h"

namespace quorbix {
namespace {

// Prints the labelled echo lines in debug mode and the error lines always.
class Reporter {
 public:
  Reporter(bool debug, const LineSink& print) : debug_(debug), print_(print) {}

  void echo(const std::string& label, const std::string& value) const {
    if (debug_) print_(label + value);
  }
  void echo(const std::string& label, int32_t value) const { echo(label, std::to_string(value)); }
  void echoFlag(const std::string& label, bool value) const { echo(label, value ? "1" : "0"); }
  void echoKeyword(const std::string& label, int table, int32_t code,
                   CompressionGroup group = CompressionGroup::None) const {
    if (debug_) print_(label + keywordText(table, code, group));
  }
  // Prints the error line; always false, so checks read `return fail(...)`.
  bool fail(const char* message) const {
    print_(message);
    return false;
  }

 private:
  bool debug_;
  const LineSink& print_;
};

// Everything up to and including the last "/" ("" when none). Only "/"
// separates folders here; a "\" is part of a Linux file name.
std::string nativeFolderPart(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool isNonEmptyFile(const std::string& path) {
  platform::PathInfo info = platform::pathInfo(path);
  return info.kind == platform::PathKind::File && info.size > 0;
}

std::string twoDecimals(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", static_cast<double>(value));
  return text;
}

bool inRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// Input classification, the input and output folders, the format defaults
// and the conversion type.
bool prepareFolders(Settings& s, const FormatRegistry& registry, const Reporter& r) {
  r.echo("Input: ", s.input);
  if (!extensionOf(s.input).empty()) {
    s.inputFile = s.input;
    s.input.clear();
    if (!isNonEmptyFile(s.inputFile)) return r.fail("Error: Invalid input file");
  } else {
    switch (applyFolderRule(s.input, s.programFolder)) {
      case FolderRuleResult::Incorrect: return r.fail("Error: Incorrect input folder");
      case FolderRuleResult::Invalid: return r.fail("Error: Invalid input folder");
      case FolderRuleResult::Ok: break;
    }
  }

  // With no output folder the output goes beside the input file, whose
  // folder is then found from the current folder, like the file itself.
  const bool besideInputFile = s.output.empty() && s.input.empty();
  if (s.output.empty()) s.output = s.input.empty() ? nativeFolderPart(s.inputFile) : s.input;
  r.echo("Output: ", s.output);
  switch (applyFolderRule(s.output, besideInputFile ? platform::currentFolder() : s.programFolder)) {
    case FolderRuleResult::Incorrect: return r.fail("Error: Incorrect output folder");
    case FolderRuleResult::Invalid: return r.fail("Error: Invalid output folder");
    case FolderRuleResult::Ok: break;
  }

  if (s.inputFormat.empty() && !registry.featuredInputExtensions.empty()) {
    s.inputFormat = registry.featuredInputExtensions.front();
  }
  if (s.conversion.empty() && !registry.featuredOutputExtensions.empty()) {
    s.conversion = registry.featuredOutputExtensions.front();
  }
  r.echo("Conversion: ", s.conversion);
  for (const std::string& featured : registry.featuredOutputExtensions) {
    if (featured == s.conversion) return true;
  }
  return r.fail("Error: Invalid conversion type");
}

// The section of the output format; TIFF is the only one the program admits.
bool checkOutputFormat(const Settings& s, const FormatRegistry& registry, const Reporter& r) {
  if (s.conversion != "tiff") return true;
  r.echo("TIFF BPP: ", s.tiffBpp);
  r.echoKeyword("TIFF Compression: ", KT_COMPRESSION, s.tiffCompression, CompressionGroup::Tiff);
  r.echoKeyword("TIFF Color Model: ", KT_COLOR_MODEL, s.tiffColorModel);
  if (!registry.isDepthAllowed("tiff", s.tiffBpp)) return r.fail("Error: Invalid tiff-bpp value");
  return true;
}

bool checkImageOperations(const Settings& s, const Reporter& r) {
  if (s.rotationOn) {
    r.echoKeyword("Image Rotation Type: ", KT_ROTATION_TYPE, s.rotationType);
    r.echo("Image Rotation: ", s.rotation);
    r.echo("Image Rotation Back Color: ", s.rotationBackColor);
  }
  if (s.resizeOn) {
    r.echo("Width: ", std::to_string(s.width) + " " + keywordText(KT_SIZE_UNIT, s.widthUnit));
    if (s.width == 0) return r.fail("Error: Invalid width value");
    r.echo("Height: ", std::to_string(s.height) + " " + keywordText(KT_SIZE_UNIT, s.heightUnit));
    if (s.height == 0) return r.fail("Error: Invalid height value");
    r.echoFlag("Keep Aspect Ratio: ", s.keepAspectRatio);
    r.echoKeyword("Image Resize Type: ", KT_RESIZE_TYPE, s.resizeType);
    r.echoKeyword("Image Resize Algorithm: ", KT_RESIZE_ALGORITHM, s.resizeAlgorithm);
  }
  r.echoFlag("Flip Horizontal: ", s.flipHorizontal);
  r.echoFlag("Flip Vertical: ", s.flipVertical);
  if (s.adjustOn) {
    r.echo("Brightness: ", s.brightness);
    if (!inRange(s.brightness, -100, 100)) return r.fail("Error: Invalid brightness value");
    r.echo("Contrast: ", s.contrast);
    if (!inRange(s.contrast, -100, 100)) return r.fail("Error: Invalid contrast value");
    r.echo("Gamma: ", twoDecimals(s.gamma));
    // Written as "not inside" so that NaN is refused too.
    if (!(s.gamma >= 0.01f && s.gamma <= 9.99f)) return r.fail("Error: Invalid gamma value");
    r.echoFlag("Invert: ", s.invert);
  }
  r.echoFlag("Greyscale: ", s.greyscale);
  if (s.thresholdOn) r.echo("Image Threshold: ", s.threshold);
  return true;
}

void echoFrame(const Settings& s, const Reporter& r) {
  r.echoKeyword("Frame: ", KT_FRAME_TYPE, s.frame);
  if (s.frame != FRAME_SOLID) return;
  r.echo("Frame left: ", s.frSolidLeft);
  r.echo("Frame right: ", s.frSolidRight);
  r.echo("Frame top: ", s.frSolidTop);
  r.echo("Frame bottom: ", s.frSolidBottom);
  r.echo("Frame left color: ", s.frSolidLeftColor);
  r.echo("Frame right color: ", s.frSolidRightColor);
  r.echo("Frame top color: ", s.frSolidTopColor);
  r.echo("Frame bottom color: ", s.frSolidBottomColor);
  r.echo("Frame opacity: ", s.frSolidOpacity);
}

// The placement lines, alike for both kinds of watermark.
void echoPlacement(const Reporter& r, int32_t boundary, int32_t position, int32_t xOffset,
                   int32_t yOffset, int32_t rotation, int32_t size) {
  r.echoKeyword("Watermark boundary: ", KT_BOUNDARY, boundary);
  r.echoKeyword("Watermark position: ", KT_POSITION, position);
  r.echo("Watermark offset (x/y): ", std::to_string(xOffset) + "/" + std::to_string(yOffset));
  r.echo("Watermark rotation: ", rotation);
  r.echoKeyword("Watermark size/mode: ", KT_WATERMARK_SIZE, size);
}

bool prepareTextWatermark(Settings& s, const Reporter& r, const FontFactory& createFont) {
  r.echo("Watermark text: ", s.wmText);
  r.echo("Watermark font: ", s.wmFont);
  r.echo("Watermark font size: ", s.wmFontSize);
  r.echo("Watermark font leading: ", s.wmFontLeading);
  r.echo("Watermark font color: ", s.wmFontColor);
  r.echoKeyword("Watermark font style: ", KT_FONT_STYLE, s.wmFontStyle);
  r.echoKeyword("Watermark font effect: ", KT_FONT_EFFECT, s.wmFontEffect);
  r.echoFlag("Watermark text antialiasing: ", s.wmTextAntialiasing);
  r.echoKeyword("Watermark text alignment: ", KT_TEXT_ALIGNMENT, s.wmTextAlignment);
  r.echo("Watermark text padding: ", s.wmTextPadding);
  r.echo("Watermark text opacity: ", s.wmTextOpacity);
  r.echo("Watermark background color: ", s.wmBackColor);
  r.echo("Watermark background opacity: ", s.wmBackOpacity);
  echoPlacement(r, s.wmTextBoundary, s.wmTextPosition, s.wmTextXOffset, s.wmTextYOffset,
                s.wmTextRotation, s.wmTextSize);
  s.watermarkFont = createFont ? createFont(watermarkFontRequest(s)) : nullptr;
  if (!s.watermarkFont) return r.fail("Error: Invalid watermark font");
  return true;
}

bool prepareImageWatermark(const Settings& s, const Reporter& r) {
  r.echo("Watermark image: ", s.wmImage);
  r.echoFlag("Watermark greyscale: ", s.wmImageGreyscale);
  r.echo("Watermark opacity: ", s.wmImageOpacity);
  echoPlacement(r, s.wmImageBoundary, s.wmImagePosition, s.wmImageXOffset, s.wmImageYOffset,
                s.wmImageRotation, s.wmImageSize);
  if (!isNonEmptyFile(s.wmImage)) return r.fail("Error: Invalid watermark image");
  return true;
}

void echoNaming(const Settings& s, const Reporter& r) {
  r.echo("Filename Mask: ", s.filenameMask);
  r.echoKeyword("File Timestamp: ", KT_TIMESTAMP, s.fileTimestamp);
  if (s.fileTimestamp == TIMESTAMP_CUSTOM) r.echo("Custom Timestamp: ", s.fileTimestampCustom);
  r.echoFlag("Keep Subfolders: ", !s.noSubfolders);
}

void deriveRunValues(Settings& s, const FormatRegistry& registry) {
  s.outputFormatId = registry.outputEntry(s.conversion).formatId;
  s.targetBpp = s.conversion == "tiff" ? s.tiffBpp : 0;
  s.saveFlags = computeSaveFlags(s.conversion, s);
  s.keepSourceDepth = s.targetBpp == 0;
}

}  // namespace

drawing::FontRequest watermarkFontRequest(const Settings& s) {
  drawing::FontRequest request;
  request.face = s.wmFont;
  request.points = s.wmFontSize;
  request.bold = s.wmFontStyle == STYLE_BOLD || s.wmFontStyle == STYLE_BOLDITALIC;
  request.italic = s.wmFontStyle == STYLE_ITALIC || s.wmFontStyle == STYLE_BOLDITALIC;
  request.underline = s.wmFontEffect == EFFECT_UNDERLINE;
  request.strikeThrough = s.wmFontEffect == EFFECT_STRIKETHROUGHT;
  return request;
}

bool prepareRun(Settings& s, const FormatRegistry& registry, MessageCatalogue& catalogue,
                bool quiet, const LineSink& print, const FontFactory& createFont) {
  const Reporter r(s.debug, print);
  if (!quiet) print(catalogue.text("General", "Preparing"));
  if (!prepareFolders(s, registry, r)) return false;
  if (!checkOutputFormat(s, registry, r)) return false;
  if (!checkImageOperations(s, r)) return false;
  echoFrame(s, r);
  r.echoKeyword("Watermark: ", KT_WATERMARK_TYPE, s.watermark);
  if (s.watermark == WATERMARK_TEXT && !prepareTextWatermark(s, r, createFont)) return false;
  if (s.watermark == WATERMARK_IMAGE && !prepareImageWatermark(s, r)) return false;
  echoNaming(s, r);
  deriveRunValues(s, registry);
  return true;
}

}  // namespace quorbix
