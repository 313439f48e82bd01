#include "job/job_validation.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/file_names.h"
#include "image/output_depth.h"
#include "job/folder_rule.h"
#include "platform/file_system.h"
#include "platform/folder_separator.h"
#include "platform/thread.h"
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

// Everything up to and including the last folder separator; without one,
// the root the path begins with ("C:" of "C:IMG0001.PCD" on Windows), else
// "". Only the system's separators count (platform/folder_separator.h): a
// "\" is part of a Linux file name.
std::string nativeFolderPart(const std::string& path) {
  size_t slash = platform::lastFolderSeparator(path);
  return slash == std::string::npos ? path.substr(0, platform::rootLength(path)) : path.substr(0, slash + 1);
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

constexpr int32_t kMostJobs = 64;
constexpr int32_t kMostDefaultJobs = 16;

// --jobs: a whole number from 1 to 64 written in decimal digits alone; without
// it, the processors online, at most 16. False for any other value.
bool settleJobs(const Settings& s, RunContext& run) {
  if (!s.job.jobsGiven) {
    run.jobs = std::clamp(platform::onlineProcessorCount(), 1, static_cast<int>(kMostDefaultJobs));
    return true;
  }
  const std::string& text = s.job.jobs;
  if (text.empty() || text.size() > 2) return false;
  int32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (!inRange(value, 1, kMostJobs)) return false;
  run.jobs = value;
  return true;
}

// Input classification, the input and output folders, the format defaults
// and the conversion type.
bool prepareFolders(Settings& s, RunContext& run, const FormatRegistry& registry, const Reporter& r) {
  r.echo("Input: ", s.job.input);
  if (!extensionOf(s.job.input).empty()) {
    run.inputFile = s.job.input;
    s.job.input.clear();
    if (!isNonEmptyFile(run.inputFile)) return r.fail("Error: Invalid input file");
  } else {
    switch (applyFolderRule(s.job.input, run.programFolder)) {
      case FolderRuleResult::Incorrect: return r.fail("Error: Incorrect input folder");
      case FolderRuleResult::Invalid: return r.fail("Error: Invalid input folder");
      case FolderRuleResult::Ok: break;
    }
  }

  // With no output folder the output goes beside the input file, whose
  // folder is then found from the current folder, like the file itself.
  const bool besideInputFile = s.job.output.empty() && s.job.input.empty();
  if (s.job.output.empty()) s.job.output = s.job.input.empty() ? nativeFolderPart(run.inputFile) : s.job.input;
  r.echo("Output: ", s.job.output);
  switch (applyFolderRule(s.job.output, besideInputFile ? platform::currentFolder() : run.programFolder)) {
    case FolderRuleResult::Incorrect: return r.fail("Error: Incorrect output folder");
    case FolderRuleResult::Invalid: return r.fail("Error: Invalid output folder");
    case FolderRuleResult::Ok: break;
  }

  if (run.inputFormat.empty() && !registry.featuredInputExtensions.empty()) {
    run.inputFormat = registry.featuredInputExtensions.front();
  }
  if (s.job.conversion.empty() && !registry.featuredOutputExtensions.empty()) {
    s.job.conversion = registry.featuredOutputExtensions.front();
  }
  r.echo("Conversion: ", s.job.conversion);
  for (const std::string& featured : registry.featuredOutputExtensions) {
    if (featured == s.job.conversion) return true;
  }
  return r.fail("Error: Invalid conversion type");
}

// The section of the output format; TIFF is the only one the program admits.
bool checkOutputFormat(const Settings& s, const FormatRegistry& registry, const Reporter& r) {
  if (s.job.conversion != "tiff") return true;
  r.echo("TIFF BPP: ", s.save.tiffBpp);
  r.echoKeyword("TIFF Compression: ", KT_COMPRESSION, s.save.tiffCompression, CompressionGroup::Tiff);
  r.echoKeyword("TIFF Color Model: ", KT_COLOR_MODEL, s.save.tiffColorModel);
  if (!registry.isDepthAllowed("tiff", s.save.tiffBpp)) return r.fail("Error: Invalid tiff-bpp value");
  return true;
}

bool checkImageOperations(const Settings& s, const Reporter& r) {
  if (s.rotate.rotationOn) {
    r.echoKeyword("Image Rotation Type: ", KT_ROTATION_TYPE, s.rotate.rotationType);
    r.echo("Image Rotation: ", s.rotate.rotation);
    r.echo("Image Rotation Back Color: ", s.rotate.rotationBackColor);
  }
  if (s.resize.resizeOn) {
    r.echo("Width: ", std::to_string(s.resize.width) + " " + keywordText(KT_SIZE_UNIT, s.resize.widthUnit));
    if (s.resize.width == 0) return r.fail("Error: Invalid width value");
    r.echo("Height: ", std::to_string(s.resize.height) + " " + keywordText(KT_SIZE_UNIT, s.resize.heightUnit));
    if (s.resize.height == 0) return r.fail("Error: Invalid height value");
    r.echoFlag("Keep Aspect Ratio: ", s.resize.keepAspectRatio);
    r.echoKeyword("Image Resize Type: ", KT_RESIZE_TYPE, s.resize.resizeType);
    r.echoKeyword("Image Resize Algorithm: ", KT_RESIZE_ALGORITHM, s.resize.resizeAlgorithm);
  }
  r.echoFlag("Flip Horizontal: ", s.flip.flipHorizontal);
  r.echoFlag("Flip Vertical: ", s.flip.flipVertical);
  if (s.adjust.adjustOn) {
    r.echo("Brightness: ", s.adjust.brightness);
    if (!inRange(s.adjust.brightness, -100, 100)) return r.fail("Error: Invalid brightness value");
    r.echo("Contrast: ", s.adjust.contrast);
    if (!inRange(s.adjust.contrast, -100, 100)) return r.fail("Error: Invalid contrast value");
    r.echo("Gamma: ", twoDecimals(s.adjust.gamma));
    // Written as "not inside" so that NaN is refused too.
    if (!(s.adjust.gamma >= 0.01f && s.adjust.gamma <= 9.99f)) return r.fail("Error: Invalid gamma value");
    r.echoFlag("Invert: ", s.adjust.invert);
  }
  r.echoFlag("Greyscale: ", s.greyscale.greyscale);
  if (s.threshold.thresholdOn) r.echo("Image Threshold: ", s.threshold.threshold);
  return true;
}

void echoFrame(const Settings& s, const Reporter& r) {
  r.echoKeyword("Frame: ", KT_FRAME_TYPE, s.frame.frame);
  if (s.frame.frame != FRAME_SOLID) return;
  r.echo("Frame left: ", s.frame.frSolidLeft);
  r.echo("Frame right: ", s.frame.frSolidRight);
  r.echo("Frame top: ", s.frame.frSolidTop);
  r.echo("Frame bottom: ", s.frame.frSolidBottom);
  r.echo("Frame left color: ", s.frame.frSolidLeftColor);
  r.echo("Frame right color: ", s.frame.frSolidRightColor);
  r.echo("Frame top color: ", s.frame.frSolidTopColor);
  r.echo("Frame bottom color: ", s.frame.frSolidBottomColor);
  r.echo("Frame opacity: ", s.frame.frSolidOpacity);
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

bool prepareTextWatermark(const Settings& s, RunContext& run, const Reporter& r,
                          const FontFactory& createFont) {
  r.echo("Watermark text: ", s.watermark.text.wmText);
  r.echo("Watermark font: ", s.watermark.text.wmFont);
  r.echo("Watermark font size: ", s.watermark.text.wmFontSize);
  r.echo("Watermark font leading: ", s.watermark.text.wmFontLeading);
  r.echo("Watermark font color: ", s.watermark.text.wmFontColor);
  r.echoKeyword("Watermark font style: ", KT_FONT_STYLE, s.watermark.text.wmFontStyle);
  r.echoKeyword("Watermark font effect: ", KT_FONT_EFFECT, s.watermark.text.wmFontEffect);
  r.echoFlag("Watermark text antialiasing: ", s.watermark.text.wmTextAntialiasing);
  r.echoKeyword("Watermark text alignment: ", KT_TEXT_ALIGNMENT, s.watermark.text.wmTextAlignment);
  r.echo("Watermark text padding: ", s.watermark.text.wmTextPadding);
  r.echo("Watermark text opacity: ", s.watermark.text.wmTextOpacity);
  r.echo("Watermark background color: ", s.watermark.text.wmBackColor);
  r.echo("Watermark background opacity: ", s.watermark.text.wmBackOpacity);
  echoPlacement(r, s.watermark.text.wmTextBoundary, s.watermark.text.wmTextPosition, s.watermark.text.wmTextXOffset, s.watermark.text.wmTextYOffset,
                s.watermark.text.wmTextRotation, s.watermark.text.wmTextSize);
  run.watermarkFont = createFont ? createFont(watermarkFontRequest(s.watermark.text)) : nullptr;
  if (!run.watermarkFont) return r.fail("Error: Invalid watermark font");
  return true;
}

bool prepareImageWatermark(const Settings& s, const Reporter& r) {
  r.echo("Watermark image: ", s.watermark.picture.wmImage);
  r.echoFlag("Watermark greyscale: ", s.watermark.picture.wmImageGreyscale);
  r.echo("Watermark opacity: ", s.watermark.picture.wmImageOpacity);
  echoPlacement(r, s.watermark.picture.wmImageBoundary, s.watermark.picture.wmImagePosition, s.watermark.picture.wmImageXOffset, s.watermark.picture.wmImageYOffset,
                s.watermark.picture.wmImageRotation, s.watermark.picture.wmImageSize);
  if (!isNonEmptyFile(s.watermark.picture.wmImage)) return r.fail("Error: Invalid watermark image");
  return true;
}

void echoNaming(const Settings& s, const Reporter& r) {
  r.echo("Filename Mask: ", s.naming.filenameMask);
  r.echoKeyword("File Timestamp: ", KT_TIMESTAMP, s.naming.fileTimestamp);
  if (s.naming.fileTimestamp == TIMESTAMP_CUSTOM) r.echo("Custom Timestamp: ", s.naming.fileTimestampCustom);
  r.echoFlag("Keep Subfolders: ", !s.naming.noSubfolders);
}

void deriveRunValues(const Settings& s, RunContext& run, const FormatRegistry& registry) {
  run.outputFormatId = registry.outputEntry(s.job.conversion).formatId;
  run.targetBpp = s.job.conversion == "tiff" ? s.save.tiffBpp : 0;
  run.saveFlags = computeSaveFlags(s.job.conversion, s.save);
  run.keepSourceDepth = run.targetBpp == 0;
  run.tone = s.load.pcdTone == PCD_TONE_FULLRANGE ? pcd::ToneRendering::FullRange : pcd::ToneRendering::Display;
}

}  // namespace

drawing::FontRequest watermarkFontRequest(const TextWatermarkOptions& t) {
  drawing::FontRequest request;
  request.face = t.wmFont;
  request.points = t.wmFontSize;
  request.bold = t.wmFontStyle == STYLE_BOLD || t.wmFontStyle == STYLE_BOLDITALIC;
  request.italic = t.wmFontStyle == STYLE_ITALIC || t.wmFontStyle == STYLE_BOLDITALIC;
  request.underline = t.wmFontEffect == EFFECT_UNDERLINE;
  request.strikeThrough = t.wmFontEffect == EFFECT_STRIKETHROUGHT;
  return request;
}

bool prepareRun(Settings& s, RunContext& run, const FormatRegistry& registry, MessageCatalogue& catalogue,
                bool quiet, const LineSink& print, const FontFactory& createFont) {
  const Reporter r(s.job.debug, print);
  if (!quiet) print(catalogue.text("General", "Preparing"));
  if (!prepareFolders(s, run, registry, r)) return false;
  r.echoKeyword("PCD Tone: ", KT_PCD_TONE, s.load.pcdTone);
  if (!checkOutputFormat(s, registry, r)) return false;
  if (!checkImageOperations(s, r)) return false;
  echoFrame(s, r);
  r.echoKeyword("Watermark: ", KT_WATERMARK_TYPE, s.watermark.watermark);
  if (s.watermark.watermark == WATERMARK_TEXT && !prepareTextWatermark(s, run, r, createFont)) return false;
  if (s.watermark.watermark == WATERMARK_IMAGE && !prepareImageWatermark(s, r)) return false;
  echoNaming(s, r);
  // Not echoed: the console is the same whatever the number of jobs.
  if (!settleJobs(s, run)) return r.fail("Error: Invalid jobs value");
  deriveRunValues(s, run, registry);
  return true;
}

}  // namespace quorbix
