// convertFile: turns file.inputFile into one saved output file, through
// the outside converter (or FreeImage's PhotoCD loader as a fallback), the
// image operations, the output depth and an atomic save; prints nothing.
//
// It is three stages. extractPicture and preparePicture depend only on the
// input file and the run's settings: they may run ahead of the file's turn,
// on any thread, several at once (each extraction with its own temporary
// folder). preparePicture takes the picture through the operations, the
// output depth and the encoding into the output file's bytes, as far as
// nothing depends on the files before it. finishFile runs at the file's
// turn, on the worker thread: what is left of that, then the name, the
// checks of the output and the save.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "base/outcome.h"
#include "convert/file_outcome.h"
#include "convert/run_context.h"
#include "image/bitmap.h"
#include "image/format_registry.h"
#include "image/resolution.h"
#include "pcd/byte_buffer.h"
#include "pcd/image_pac_facts.h"
#include "pcd/ycc_to_srgb.h"
#include "settings/settings.h"

namespace quorbix {

// What a converter run says beyond the file it leaves.
enum class ConverterOutcome {
  Ended,         // only the file it left (or did not leave) counts
  CannotWrite,   // our own converter decoded the picture but could not write
                 // it: no lower level will fare better
  Missing,       // no converter program was found
  NotStarted,    // the converter was found but could not be started
  Crashed,       // the converter was ended by a signal
};

// How the outside converter is started and how the pipeline pauses; tests
// give their own. The real one may be used from several threads at once.
class ConverterRunner {
 public:
  virtual ~ConverterRunner() = default;
  // Runs the converter with these arguments (argv[1..]) and waits for it.
  virtual ConverterOutcome run(const std::vector<std::string>& arguments) = 0;
  // Pauses the calling thread (30 ms between converter runs).
  virtual void pause(int milliseconds) = 0;
  // The highest sub-image worth asking for `input` (as the converter is
  // given it): a converter known to answer "no such sub-image" above it is
  // not asked for those. 6, the top of the ladder, unless it is known.
  virtual int highestSubImage(const std::string& input) {
    (void)input;
    return 6;
  }
  // True when the converter is our own, whose sub-image numbers are exactly
  // the PhotoCD levels; the level of another one's picture is not known.
  virtual bool isOwnConverter() { return false; }
};

struct ConvertContext {
  const Settings& settings;
  const RunContext& run;
  FileState& file;  // this file's; the conversion fills in what it settles
  const FormatRegistry& registry;
  ConverterRunner& converter;
  std::string temporaryFolder;  // private to the run, ends in a separator
  // Asked with the output path just before saving: "" accepts it, anything
  // else is why it is refused, and the file fails with nothing written.
  // Empty: every path is accepted.
  std::function<std::string(const std::string& outputPath)> refuseOutput = {};
};

// What the extraction of one input gave.
struct ExtractedPicture {
  Bitmap image;              // empty when the file fails
  FileOutcome outcome;       // why it failed or was skipped; the warnings; the level
  bool depthKnown = false;   // the converter ladder ran: sourceDepth is this file's
  int32_t sourceDepth = 0;   // bits per pixel of the first extraction
  pcd::ImagePacFacts facts;  // what the input's Image Pac header tells, for the TIFF's tags
  // The libraries' messages meanwhile (source, text), shown at the file's turn.
  std::vector<std::pair<std::string, std::string>> libraryMessages;
};

// The converter ladder (6, 5, .. 0 with pauses), the panoramic re-extraction,
// the Targa load and the guarded PhotoCD fallback for `inputFile`.
// `temporaryFolder` (ends in a separator) is where the converter writes; empty fails
// the file at once. Leaves nothing in that folder. `tone` is the rendering
// asked for: our own converter is told of FullRange, any other converter is
// given the arguments it always had.
ExtractedPicture extractPicture(const std::string& inputFile, ConverterRunner& converter,
                                const std::string& temporaryFolder, pcd::ToneRendering tone);

// True for the files a PhotoCD disc or a copy of it holds beside its
// pictures: INFO.PCD and OVERVIEW.PCD (any letter case), and the "._" files
// macOS leaves. Those that hold no Image Pac are skipped, not failed.
bool isDiscCompanionName(const std::string& path);

// A picture taken as far as it can go before its file's turn; only
// finishFile looks inside.
struct PreparedPicture {
  enum class Stage {
    NoPicture,  // the extraction gave none: its outcome says why
    Failed,     // an operation failed: failedOperation
    Shaped,     // the operations up to the frame are done; the watermark on is left
    Finished,   // the operations, the output depth and CMYK are done
    Encoded,    // `bytes` and `encoding` hold the encoding
  };
  Stage stage = Stage::NoPicture;
  ExtractedPicture extracted;  // its image is taken on below
  Bitmap image;                // the picture, until it is encoded
  Resolution resolution;       // as extracted, for the finished picture
  FileState state;             // the depth values and the size after resizing
  const char* failedOperation = nullptr;
  pcd::ByteBuffer bytes;       // the output file's bytes
  Outcome encoding;            // why they could not be made
  unsigned width = 0;          // of the finished picture
  unsigned height = 0;
  // The libraries' messages of the operations and of the encoding, shown
  // where they would come at the file's turn.
  std::vector<std::pair<std::string, std::string>> operationMessages;
  std::vector<std::pair<std::string, std::string>> encodingMessages;
};

// The file's depth values and its operations for `extracted`; unless the
// watermark text shows "%rnd%" or "%n%" (numbers that depend on the files
// before), also the output depth, the CMYK separation and the encoding.
// The encoding is also left for the turn when --skip-existing will most
// likely find the output there. Any thread; `settings`, `run` and
// `registry` are only read.
PreparedPicture preparePicture(const Settings& settings, const RunContext& run, const FormatRegistry& registry,
                               const std::string& inputFile, const std::string& relativeFolder,
                               ExtractedPicture extracted);

// The rest for `prepared`: the operations left, the output name, the
// acceptance and the save (or, with --skip-existing, an output that is there
// already). Sets context.file's depth values, its size after resizing, and
// its outputPath once the name is known. Shows the library messages of the
// earlier stages first.
FileOutcome finishFile(ConvertContext& context, PreparedPicture prepared);

// All stages, one after the other, with context.temporaryFolder and the
// run's tone rendering.
FileOutcome convertFile(ConvertContext& context);

}  // namespace quorbix
