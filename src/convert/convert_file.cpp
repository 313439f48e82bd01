#include "convert/convert_file.h"

#include <algorithm>
#include <atomic>

#include "convert/output_naming.h"
#include "image/cmyk_separation.h"
#include "image/image_io.h"
#include "image/library_messages.h"
#include "image/output_depth.h"
#include "image/resolution.h"
#include "ops/operations.h"
#include "platform/file_system.h"
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
  Extraction(const std::string& inputFile, ConverterRunner& converter, const std::string& temporaryFolder)
      : inputFile_(inputFile),
        source_(converterSource(inputFile)),
        converter_(converter),
        temporaryImagePath_(temporaryFolder + temporaryImageName()) {}
  ~Extraction() { deleteIfFile(temporaryImagePath_); }
  Extraction(const Extraction&) = delete;
  Extraction& operator=(const Extraction&) = delete;

  // Sub-images 6, 5, ... 0 until something appears at the temporary path;
  // those the converter is known not to have are not asked for.
  Bitmap first() {
    deleteIfFile(temporaryImagePath_);
    int subImage = std::min(kHighestSubImage, converter_.highestSubImage(source_));
    while (!platform::exists(temporaryImagePath_)) {
      if (!runConverter(subImage)) return Bitmap();
      --subImage;
      converter_.pause(kPauseMilliseconds);
      if (subImage < 0) break;
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
    deleteIfFile(temporaryImagePath_);
    converter_.pause(kPauseMilliseconds);
    if (!runConverter(subImage)) return Bitmap();
    return loadExtracted();
  }

 private:
  // False when our converter could not write the picture: the file fails
  // then, rather than come out at a lower level or from the fallback.
  bool runConverter(int subImage) {
    return converter_.run({"-quiet", "-colorspace", "sRGB", source_ + "[" + std::to_string(subImage) + "]",
                           temporaryImagePath_}) != ConverterOutcome::CannotWrite;
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
    const platform::PathInfo info = platform::pathInfo(temporaryImagePath_);
    if (info.kind == platform::PathKind::File && info.size > 0) {
      if (!isCompleteTarga(temporaryImagePath_)) return Bitmap();
      return loadTargaFile(temporaryImagePath_);
    }
    if (isReadablePhotoCd(inputFile_)) return loadPhotoCdUpright(inputFile_);
    return Bitmap();
  }

  const std::string& inputFile_;
  const std::string source_;  // the input as the converter is given it
  ConverterRunner& converter_;
  const std::string temporaryImagePath_;
};

// The finishing stage: the depth values, the operations, the name and the
// save, at the file's turn.
class Finishing {
 public:
  explicit Finishing(ConvertContext& context)
      : context_(context), settings_(context.settings), run_(context.run), file_(context.file) {}

  bool run(ExtractedPicture extracted) {
    reportLibraryMessages(extracted.libraryMessages);
    if (!extracted.depthKnown) return false;
    file_.sourceDepth = extracted.sourceDepth;
    // Settled now so that "%bpp%" in the watermark text shows this file's depth.
    file_.targetBpp = settledOutputDepth(context_.registry, settings_.job.conversion, run_.keepSourceDepth,
                                         file_.targetBpp, file_.sourceDepth);
    Bitmap image = std::move(extracted.image);
    if (!image) return false;

    const Resolution resolution = resolutionOf(image);
    image = applyOperations(std::move(image));
    applyResolution(image, resolution);

    file_.outputPath = buildOutputPath(settings_, file_);
    if (context_.acceptOutput && !context_.acceptOutput(file_.outputPath)) return false;
    return saveImageFile(run_.outputFormatId, image, file_.outputPath, run_.saveFlags, extracted.facts);
  }

 private:
  Bitmap applyOperations(Bitmap image) {
    image = rotateImage(std::move(image), settings_.rotate);
    const int rotatedWidth = static_cast<int>(image.width());
    const int rotatedHeight = static_cast<int>(image.height());
    image = resizeImage(std::move(image), rotatedWidth, rotatedHeight, settings_.resize);
    // The size after resizing is what "%width%" and "%height%" show, even
    // when a frame makes the picture larger later.
    const int width = static_cast<int>(image.width());
    const int height = static_cast<int>(image.height());
    file_.resizedWidth = width;
    file_.resizedHeight = height;
    image = flipImage(std::move(image), settings_.flip);
    image = adjustImage(std::move(image), settings_.adjust);
    image = greyscaleImage(std::move(image), settings_.greyscale);
    image = thresholdImage(std::move(image), settings_.threshold);
    image = frameImage(std::move(image), width, height, settings_.frame);
    image = watermarkImage(std::move(image), width, height, settings_.watermark, watermarkInputs());
    image = applyOutputDepth(std::move(image), settings_.job.conversion, file_.targetBpp);
    // The TIFF writer stores four channels as inks as they are: they must be
    // inks.
    if (settings_.job.conversion == "tiff" && settings_.save.tiffColorModel == COLOR_MODEL_CMYK) {
      image = separateCmyk(std::move(image));
    }
    return image;
  }

  // The text watermark's placeholders are replaced here, with this file's
  // values as they stand after resizing.
  WatermarkInputs watermarkInputs() const {
    const bool text = settings_.watermark.watermark == WATERMARK_TEXT;
    return {settings_.frame, text ? expandWatermarkText(settings_, file_) : std::string(),
            run_.watermarkFont.get()};
  }

  ConvertContext& context_;
  const Settings& settings_;
  const RunContext& run_;
  FileState& file_;
};

}  // namespace

ExtractedPicture extractPicture(const std::string& inputFile, ConverterRunner& converter,
                                const std::string& temporaryFolder) {
  ExtractedPicture extracted;
  // Without a private folder the temporary name would land in the current
  // folder, where it could hit a file of the user's.
  if (temporaryFolder.empty()) return extracted;
  LibraryMessageHold hold;
  {
    Extraction extraction(inputFile, converter, temporaryFolder);
    Bitmap image = extraction.first();
    extracted.depthKnown = true;
    extracted.sourceDepth = static_cast<int32_t>(image.bpp());
    const unsigned width = image.width();
    const unsigned height = image.height();
    if (width != 0 && height != 0) {
      if (int level = Extraction::reextractionLevel(width, height); level >= 0) image = extraction.reextract(level);
      extracted.image = std::move(image);
    }
  }
  // Once per file, from its first sectors (the converter reads the rest).
  if (extracted.image) extracted.facts = pcd::readImagePacFacts(inputFile);
  extracted.libraryMessages = hold.take();
  return extracted;
}

bool finishFile(ConvertContext& context, ExtractedPicture extracted) {
  return Finishing(context).run(std::move(extracted));
}

bool convertFile(ConvertContext& context) {
  return finishFile(context, extractPicture(context.file.inputFile, context.converter, context.temporaryFolder));
}

}  // namespace quorbix
