#include "convert/convert_file.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "base/ascii_text.h"
#include "base/file_names.h"
#include "convert/output_naming.h"
#include "image/cmyk_separation.h"
#include "image/image_io.h"
#include "image/library_messages.h"
#include "image/output_depth.h"
#include "image/resolution.h"
#include "ops/operations.h"
#include "pcd/available_levels.h"
#include "pcd/converter_arguments.h"
#include "pcd/pcd_decoder.h"
#include "pcd/pcd_header.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "platform/folder_separator.h"

namespace quorbix {
namespace {

constexpr int kPauseMilliseconds = 30;
constexpr int kHighestSubImage = 6;

// A wider-than-1.6 picture (a panoramic scan) is extracted once more at the
// level its short side belongs to.
constexpr float kPanoramicRatio = 1.6f;

void deleteIfFile(const std::string& path) {
  if (platform::pathInfo(path).kind == platform::PathKind::File) platform::deleteFile(path);
}

// The first line of our converter's note beside its picture, at most a few
// hundred bytes of it; "" when there is none.
std::string readNote(const std::string& path) {
  std::FILE* file = platform::openForReading(path);
  if (file == nullptr) return "";
  char line[512] = {};
  const bool read = std::fgets(line, sizeof line, file) != nullptr;
  std::fclose(file);
  std::string text = read ? line : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

// A short name of our own in the run's private folder, whatever the input is
// called: the converter's own staging name beside it must fit the file
// system's limit too. Numbered, so files in flight never share one.
std::string temporaryImageName() {
  static std::atomic<unsigned> counter{0};
  return "picture-" + std::to_string(++counter) + ".tga";
}

// The extraction stage: the converter's picture for one input, written to a
// temporary name of its own; that file is deleted on every way out.
class Extraction {
 public:
  Extraction(const std::string& inputFile, ConverterRunner& converter, const std::string& temporaryFolder,
             pcd::ToneRendering tone)
      : inputFile_(inputFile),
        source_(converterSource(inputFile)),
        converter_(converter),
        tone_(tone),
        temporaryImagePath_(temporaryFolder + temporaryImageName()),
        notePath_(temporaryImagePath_ + pcd::kRepairsSuffix) {}
  ~Extraction() { clearOutputs(); }
  Extraction(const Extraction&) = delete;
  Extraction& operator=(const Extraction&) = delete;

  // Sub-images 6, 5, ... 0 until something appears at the temporary path;
  // those the converter is known not to have are not asked for.
  Bitmap first() {
    clearOutputs();
    for (int subImage = std::min(kHighestSubImage, converter_.highestSubImage(source_)); subImage >= 0;
         --subImage) {
      if (!runConverter(subImage)) return Bitmap();
      converter_.pause(kPauseMilliseconds);
      if (platform::exists(temporaryImagePath_)) {
        subImage_ = subImage;
        break;
      }
    }
    return loadExtracted();
  }

  // The sub-image to extract a panoramic picture at, or -1 to keep it.
  static int reextractionLevel(unsigned width, unsigned height) {
    const unsigned longSide = std::max(width, height);
    const unsigned shortSide = std::min(width, height);
    const float ratio = static_cast<float>(longSide) / static_cast<float>(shortSide);
    if (!(ratio > kPanoramicRatio)) return -1;
    switch (shortSide) {
      case 2048: return 5;
      case 1024: return 4;
      case 512: return 3;
      default: return -1;
    }
  }

  Bitmap reextract(int subImage) {
    clearOutputs();
    converter_.pause(kPauseMilliseconds);
    subImage_ = subImage;
    if (!runConverter(subImage)) return Bitmap();
    return loadExtracted();
  }

  // The PhotoCD level of the picture extracted last, when it is known: our
  // converter's sub-image, or Base from FreeImage's loader.
  std::optional<pcd::Level> level() const {
    if (fromFallback_) return pcd::Level::Base;
    if (subImage_ < 0 || !isOwnConverter()) return std::nullopt;
    return pcd::subImageLevel(subImage_);
  }

  // Why no picture came out.
  std::string failureReason() const {
    if (!platform::isFile(inputFile_)) return "the file could not be read";
    if (!hasImagePacSignature(inputFile_)) return "not a PhotoCD picture (no Image Pac signature)";
    switch (worst_) {
      case ConverterOutcome::CannotWrite:
        return "the converter decoded the picture but could not write it to the temporary folder";
      case ConverterOutcome::Missing:
        return "no converter program \"convert\" was found beside the program or on PATH, and the "
               "Image Pac is too short for FreeImage's own PhotoCD loader";
      case ConverterOutcome::NotStarted: return "the converter could not be started";
      case ConverterOutcome::Crashed: return "the converter crashed (it was ended by a signal)";
      case ConverterOutcome::Ended: break;
    }
    if (incomplete_) return "the converter left an incomplete picture";
    return "the converter gave no picture at any level: the Image Pac is damaged";
  }

  bool usedFallback() const { return fromFallback_; }
  ConverterOutcome worstConverterOutcome() const { return worst_; }
  // What our converter repaired in the picture extracted last; "" when
  // nothing (or when the converter is not ours).
  const std::string& repairs() const { return repairs_; }

 private:
  // The converter's picture and its note, from an earlier run.
  void clearOutputs() {
    deleteIfFile(temporaryImagePath_);
    deleteIfFile(notePath_);
  }

  // False when our converter could not write the picture: the file fails
  // then, rather than come out at a lower level or from the fallback. The
  // gravest thing a run said is kept for the reason.
  bool runConverter(int subImage) {
    // The tone option is ours: only our own converter is given it, and only
    // for FULLRANGE (DISPLAY is its default), so that any other converter
    // gets the arguments it always got.
    std::vector<std::string> arguments;
    if (tone_ == pcd::ToneRendering::FullRange && isOwnConverter()) {
      arguments = {pcd::kToneOption, pcd::kToneFullRange};
    }
    arguments.insert(arguments.end(), {"-quiet", "-colorspace", "sRGB",
                                       source_ + "[" + std::to_string(subImage) + "]", temporaryImagePath_});
    const ConverterOutcome outcome = converter_.run(arguments);
    if (outcome == ConverterOutcome::CannotWrite || worst_ == ConverterOutcome::Ended) worst_ = outcome;
    return outcome != ConverterOutcome::CannotWrite;
  }

  // Asked once per file: it looks the converter up again.
  bool isOwnConverter() const {
    if (!ownConverter_) ownConverter_ = converter_.isOwnConverter();
    return *ownConverter_;
  }

  // A relative input is given as "./name" (".\name" on Windows) so that no
  // converter can take a name beginning with "-" or "@" for an option or a
  // list.
  static std::string converterSource(const std::string& input) {
    return platform::isRootedPath(input) ? input : std::string(".") + platform::kFolderSeparator + input;
  }

  // The converter's picture when it left one, else FreeImage's own PhotoCD
  // loader, but only for a real Image Pac (that loader turns any file at all
  // into a 768 x 512 picture).
  Bitmap loadExtracted() {
    fromFallback_ = false;
    repairs_.clear();
    const platform::PathInfo info = platform::pathInfo(temporaryImagePath_);
    if (info.kind == platform::PathKind::File && info.size > 0) {
      if (!isCompleteTarga(temporaryImagePath_)) {
        incomplete_ = true;
        return Bitmap();
      }
      if (level()) repairs_ = readNote(notePath_);
      return loadTargaFile(temporaryImagePath_);
    }
    if (isReadablePhotoCd(inputFile_)) {
      fromFallback_ = true;
      return loadPhotoCdUpright(inputFile_, tone_);
    }
    return Bitmap();
  }

  const std::string& inputFile_;
  const std::string source_;  // the input as the converter is given it
  ConverterRunner& converter_;
  const pcd::ToneRendering tone_;
  const std::string temporaryImagePath_;
  const std::string notePath_;  // our converter's note of what it repaired
  std::string repairs_;
  int subImage_ = -1;  // the sub-image of the converter's last picture
  bool fromFallback_ = false;
  bool incomplete_ = false;
  ConverterOutcome worst_ = ConverterOutcome::Ended;
  mutable std::optional<bool> ownConverter_;
};

// A warning when the picture came out below the level the Image Pac's
// header promises, saying why; "" otherwise.
std::string belowPromiseWarning(const std::string& inputFile, const Extraction& extraction, pcd::Level level,
                                unsigned width, unsigned height) {
  const std::unique_ptr<pcd::FileByteSource> source = pcd::FileByteSource::open(inputFile);
  const std::optional<pcd::PcdHeader> header = source ? pcd::readPcdHeader(*source) : std::nullopt;
  if (!header || level >= header->highestLevel) return "";
  std::string why;
  if (extraction.usedFallback()) {
    why = extraction.worstConverterOutcome() == ConverterOutcome::Missing
              ? "no converter program \"convert\" was found, and FreeImage's own loader reads only Base"
              : "the converter gave no picture, and FreeImage's own loader reads only Base";
  } else if (header->highestLevel == pcd::Level::SixtyFourBase &&
             pcd::highestSubImageOf(inputFile).value_or(6) < 6) {
    why = "its 64Base extension (the IPE folder) is missing";
  } else {
    why = "the higher levels could not be decoded";
  }
  return std::string("saved at ") + pcd::levelName(level) + " (" + std::to_string(width) + " x " +
         std::to_string(height) + ") although its Image Pac holds " + pcd::levelName(header->highestLevel) +
         ": " + why;
}

// The operations of one picture, in two parts: those whose result depends
// on the picture and the settings alone, and the watermark on, whose text
// may show the run's numbers. `file` gives those placeholders their values
// and gets the size after resizing.
class PictureWork {
 public:
  PictureWork(const Settings& settings, const RunContext& run, FileState& file)
      : settings_(settings), run_(run), file_(file) {}

  // Rotation to frame.
  Bitmap shape(Bitmap image) {
    image = step("rotation", rotateImage(std::move(image), settings_.rotate));
    if (!image) return image;
    const int rotatedWidth = static_cast<int>(image.width());
    const int rotatedHeight = static_cast<int>(image.height());
    image = step("resizing", resizeImage(std::move(image), rotatedWidth, rotatedHeight, settings_.resize));
    if (!image) return image;
    // The size after resizing is what "%width%" and "%height%" show, even
    // when a frame makes the picture larger later.
    file_.resizedWidth = static_cast<int>(image.width());
    file_.resizedHeight = static_cast<int>(image.height());
    image = step("flip", flipImage(std::move(image), settings_.flip));
    image = step("tonal adjustment", adjustImage(std::move(image), settings_.adjust));
    image = step("greyscale conversion", greyscaleImage(std::move(image), settings_.greyscale));
    image = step("threshold", thresholdImage(std::move(image), settings_.threshold));
    return step("frame", frameImage(std::move(image), file_.resizedWidth, file_.resizedHeight, settings_.frame));
  }

  // The watermark, the output depth and the CMYK separation.
  Bitmap finish(Bitmap image) {
    const int width = file_.resizedWidth;
    const int height = file_.resizedHeight;
    image = step("watermark", watermarkImage(std::move(image), width, height, settings_.watermark, watermarkInputs()));
    image = step("conversion to the output depth", applyOutputDepth(std::move(image), settings_.job.conversion, file_.targetBpp));
    // The TIFF writer stores four channels as inks as they are: they must be
    // inks.
    if (settings_.job.conversion == "tiff" && settings_.save.tiffColorModel == COLOR_MODEL_CMYK) {
      image = step("CMYK separation", separateCmyk(std::move(image)));
    }
    return image;
  }

  // The operation that gave no picture; nullptr while none did.
  const char* failedOperation() const { return failedOperation_; }

 private:
  Bitmap step(const char* name, Bitmap result) {
    if (!result && failedOperation_ == nullptr) failedOperation_ = name;
    return result;
  }

  // The text watermark's placeholders are replaced here, with this file's
  // values as they stand after resizing.
  WatermarkInputs watermarkInputs() const {
    const bool text = settings_.watermark.watermark == WATERMARK_TEXT;
    return {settings_.frame, text ? expandWatermarkText(settings_, file_) : std::string(),
            run_.watermarkFont.get()};
  }

  const Settings& settings_;
  const RunContext& run_;
  FileState& file_;
  const char* failedOperation_ = nullptr;
};

// The finished picture of `prepared` encoded into its bytes.
void encodePicture(const RunContext& run, PreparedPicture& prepared) {
  prepared.encoding = encodeImage(run.outputFormatId, std::move(prepared.image), run.saveFlags,
                                  prepared.extracted.facts, prepared.bytes);
  prepared.stage = PreparedPicture::Stage::Encoded;
}

// With --skip-existing, whether the output is most likely there already:
// then the encoding waits for the turn, where that is known.
bool outputLikelyThere(const Settings& settings, const FileState& state) {
  return settings.job.skipExisting && !filenameMaskDependsOnOrder(settings) &&
         platform::exists(buildOutputPath(settings, state));
}

FileOutcome operationFailed(const char* operation) {
  return FileOutcome::failed("the " + std::string(operation) + " failed");
}

}  // namespace

bool isDiscCompanionName(const std::string& path) {
  const std::string name = fileNamePart(path);
  const std::string upper = upperAscii(name);
  return upper == "INFO.PCD" || upper == "OVERVIEW.PCD" || name.rfind("._", 0) == 0;
}

ExtractedPicture extractPicture(const std::string& inputFile, ConverterRunner& converter,
                                const std::string& temporaryFolder, pcd::ToneRendering tone) {
  ExtractedPicture extracted;
  // A disc's companion without a picture in it is no failure.
  if (isDiscCompanionName(inputFile) && !hasImagePacSignature(inputFile)) {
    extracted.outcome.status = FileStatus::Companion;
    extracted.outcome.reason = fileNamePart(inputFile).rfind("._", 0) == 0
                                   ? "a file macOS leaves beside a copied file, not a picture"
                                   : "a PhotoCD disc's information file, not a picture";
    return extracted;
  }
  // Without a private folder the temporary name would land in the current
  // folder, where it could hit a file of the user's.
  if (temporaryFolder.empty()) {
    extracted.outcome.reason = "no private temporary folder could be made for the converter";
    return extracted;
  }
  LibraryMessageHold hold;
  {
    Extraction extraction(inputFile, converter, temporaryFolder, tone);
    Bitmap image = extraction.first();
    extracted.depthKnown = true;
    extracted.sourceDepth = static_cast<int32_t>(image.bpp());
    const unsigned width = image.width();
    const unsigned height = image.height();
    if (width != 0 && height != 0) {
      std::string warning;
      if (std::optional<pcd::Level> level = extraction.level()) {
        warning = belowPromiseWarning(inputFile, extraction, *level, width, height);
      }
      if (int level = Extraction::reextractionLevel(width, height); level >= 0) image = extraction.reextract(level);
      // One line for the file, whatever there is to say about its levels.
      if (!extraction.repairs().empty() && image) {
        if (!warning.empty()) warning += "; ";
        warning += "repaired damaged data: " + extraction.repairs();
      }
      if (!warning.empty()) extracted.outcome.warnings.push_back(std::move(warning));
      extracted.image = std::move(image);
    }
    if (extracted.image) {
      if (std::optional<pcd::Level> level = extraction.level()) extracted.outcome.level = pcd::levelName(*level);
    } else {
      extracted.outcome.reason = extraction.failureReason();
    }
  }
  // Once per file, from its first sectors (the converter reads the rest).
  if (extracted.image) extracted.facts = pcd::readImagePacFacts(inputFile);
  extracted.libraryMessages = hold.take();
  return extracted;
}

PreparedPicture preparePicture(const Settings& settings, const RunContext& run, const FormatRegistry& registry,
                               const std::string& inputFile, const std::string& relativeFolder,
                               ExtractedPicture extracted) {
  using Stage = PreparedPicture::Stage;
  PreparedPicture prepared;
  FileState& state = prepared.state;
  state.inputFile = inputFile;
  state.relativeFolder = relativeFolder;
  state.targetBpp = run.targetBpp;
  Bitmap image = std::move(extracted.image);
  prepared.extracted = std::move(extracted);
  if (!prepared.extracted.depthKnown) return prepared;
  state.sourceDepth = prepared.extracted.sourceDepth;
  // Settled now so that "%bpp%" in the watermark text shows this file's depth.
  state.targetBpp =
      settledOutputDepth(registry, settings.job.conversion, run.keepSourceDepth, state.targetBpp, state.sourceDepth);
  if (!image) return prepared;

  {
    LibraryMessageHold hold;
    prepared.resolution = resolutionOf(image);
    PictureWork work(settings, run, state);
    image = work.shape(std::move(image));
    prepared.stage = Stage::Shaped;
    if (image && !watermarkTextDependsOnOrder(settings)) {
      image = work.finish(std::move(image));
      prepared.stage = Stage::Finished;
    }
    prepared.failedOperation = work.failedOperation();
    prepared.operationMessages = hold.take();
  }
  if (!image) {
    prepared.stage = Stage::Failed;
    return prepared;
  }
  if (prepared.stage == Stage::Finished) applyResolution(image, prepared.resolution);
  prepared.width = image.width();
  prepared.height = image.height();
  prepared.image = std::move(image);
  if (prepared.stage == Stage::Finished && !outputLikelyThere(settings, state)) {
    LibraryMessageHold hold;
    encodePicture(run, prepared);
    prepared.encodingMessages = hold.take();
  }
  return prepared;
}

FileOutcome finishFile(ConvertContext& context, PreparedPicture prepared) {
  using Stage = PreparedPicture::Stage;
  const Settings& settings = context.settings;
  FileState& file = context.file;
  reportLibraryMessages(prepared.extracted.libraryMessages);
  FileOutcome outcome = std::move(prepared.extracted.outcome);
  if (!prepared.extracted.depthKnown) return outcome;
  file.sourceDepth = prepared.state.sourceDepth;
  file.targetBpp = prepared.state.targetBpp;
  if (prepared.stage == Stage::NoPicture) return outcome;
  reportLibraryMessages(prepared.operationMessages);
  file.resizedWidth = prepared.state.resizedWidth;
  file.resizedHeight = prepared.state.resizedHeight;
  if (prepared.stage == Stage::Failed) return operationFailed(prepared.failedOperation);
  if (prepared.stage == Stage::Shaped) {
    PictureWork work(settings, context.run, file);
    Bitmap image = work.finish(std::move(prepared.image));
    if (!image) return operationFailed(work.failedOperation());
    applyResolution(image, prepared.resolution);
    prepared.width = image.width();
    prepared.height = image.height();
    prepared.image = std::move(image);
    prepared.stage = Stage::Finished;
  }

  file.outputPath = buildOutputPath(settings, file);
  if (context.refuseOutput) {
    if (std::string refusal = context.refuseOutput(file.outputPath); !refusal.empty()) {
      return FileOutcome::failed(std::move(refusal));
    }
  }
  outcome.facts = prepared.extracted.facts;
  if (settings.job.skipExisting && platform::exists(file.outputPath)) {
    outcome.status = FileStatus::AlreadyThere;
    outcome.reason = "its output " + file.outputPath + " is there already (--skip-existing)";
    outcome.warnings.clear();
    return outcome;
  }
  if (prepared.stage == Stage::Finished) {
    encodePicture(context.run, prepared);
  } else {
    reportLibraryMessages(prepared.encodingMessages);
  }
  if (!prepared.encoding) return FileOutcome::failed(prepared.encoding.reason);
  const Outcome saved = saveEncodedImage(prepared.bytes, file.outputPath);
  if (!saved) {
    FileOutcome failure = FileOutcome::failed(saved.reason);
    failure.noRoomToWrite = platform::meansNoRoomToWrite(saved.systemError);
    return failure;
  }
  outcome.status = FileStatus::Converted;
  outcome.reason.clear();
  outcome.width = static_cast<int>(prepared.width);
  outcome.height = static_cast<int>(prepared.height);
  return outcome;
}

FileOutcome convertFile(ConvertContext& context) {
  ExtractedPicture extracted =
      extractPicture(context.file.inputFile, context.converter, context.temporaryFolder, context.run.tone);
  return finishFile(context, preparePicture(context.settings, context.run, context.registry, context.file.inputFile,
                                            context.file.relativeFolder, std::move(extracted)));
}

}  // namespace quorbix
