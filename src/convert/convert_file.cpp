#include "convert/convert_file.h"

#include <algorithm>
#include <atomic>

#include "convert/output_naming.h"
#include "image/cmyk_separation.h"
#include "image/image_io.h"
#include "image/output_depth.h"
#include "image/resolution.h"
#include "ops/operations.h"
#include "platform/file_system.h"

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

class FilePipeline {
 public:
  explicit FilePipeline(ConvertContext& context)
      : context_(context),
        settings_(context.settings),
        run_(context.run),
        file_(context.file),
        temporaryImagePath_(context.temporaryFolder.empty() ? std::string()
                                                            : context.temporaryFolder + temporaryImageName()) {}

  // Deletes the temporary file on every way out.
  ~FilePipeline() { deleteIfFile(temporaryImagePath_); }

  bool run() {
    // Without the run's private folder the temporary name would land in the
    // current folder, where it could hit a file of the user's.
    if (temporaryImagePath_.empty()) return false;

    Bitmap image = firstExtraction();
    const unsigned width = image.width();
    const unsigned height = image.height();
    file_.sourceDepth = static_cast<int32_t>(image.bpp());
    // Settled now so that "%bpp%" in the watermark text shows this file's depth.
    file_.targetBpp = settledOutputDepth(context_.registry, settings_.job.conversion, run_.keepSourceDepth,
                                         file_.targetBpp, file_.sourceDepth);
    if (width == 0 || height == 0) return false;

    if (int level = reextractionLevel(width, height); level >= 0) image = reextract(level);
    if (!image) return false;

    const Resolution resolution = resolutionOf(image);
    image = applyOperations(std::move(image));
    applyResolution(image, resolution);

    file_.outputPath = buildOutputPath(settings_, file_);
    if (context_.acceptOutput && !context_.acceptOutput(file_.outputPath)) return false;
    return saveImageFile(run_.outputFormatId, image, file_.outputPath, run_.saveFlags);
  }

 private:
  // False when our converter could not write the picture: the file fails
  // then, rather than come out at a lower level or from the fallback.
  bool runConverter(int subImage) {
    // A relative input is given as "./name" so that no converter can take a
    // name beginning with "-" or "@" for an option or a list.
    const std::string& input = file_.inputFile;
    std::string source = (!input.empty() && input[0] == '/') ? input : "./" + input;
    return context_.converter.run({"-quiet", "-colorspace", "sRGB", source + "[" + std::to_string(subImage) + "]",
                                   temporaryImagePath_}) != ConverterOutcome::CannotWrite;
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
    if (isReadablePhotoCd(file_.inputFile)) return loadPhotoCdUpright(file_.inputFile);
    return Bitmap();
  }

  // Sub-images 6, 5, ... 0 until something appears at the temporary path.
  Bitmap firstExtraction() {
    deleteIfFile(temporaryImagePath_);
    int subImage = kHighestSubImage;
    while (!platform::exists(temporaryImagePath_)) {
      if (!runConverter(subImage)) return Bitmap();
      --subImage;
      context_.converter.pause(kPauseMilliseconds);
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
    context_.converter.pause(kPauseMilliseconds);
    if (!runConverter(subImage)) return Bitmap();
    return loadExtracted();
  }

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
  const std::string temporaryImagePath_;
};

}  // namespace

bool convertFile(ConvertContext& context) { return FilePipeline(context).run(); }

}  // namespace quorbix
