// convertFile: turns file.inputFile into one saved output file, through
// the outside converter (or FreeImage's PhotoCD loader as a fallback), the
// image operations, the output depth and an atomic save; prints nothing.
//
// It is two stages. extractPicture depends only on the input file: it may run
// ahead of the file's turn, on any thread, several at once (each with its own
// temporary folder). finishFile takes its picture at the file's turn, on the
// worker thread: operations, naming, saving.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "convert/file_outcome.h"
#include "convert/run_context.h"
#include "image/bitmap.h"
#include "image/format_registry.h"
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

// The rest for `extracted`: file's depth values, the operations, the output
// name, the acceptance and the save (or, with --skip-existing, an output
// that is there already). Sets file.outputPath once the name is known.
// Shows the extraction's library messages first.
FileOutcome finishFile(ConvertContext& context, ExtractedPicture extracted);

// Both stages, one after the other, with context.temporaryFolder and the
// run's tone rendering.
FileOutcome convertFile(ConvertContext& context);

}  // namespace quorbix
