// ConversionWorker: the body of the conversion thread. Visits the InputSet
// in its iteration order, makes each file's FileState, prepares the output
// sub-folder, runs the per-file conversion, prints the per-file lines in
// debug mode, and after each success advances the random number and the file
// counter and sets the output's file time. Runs on one background thread
// while the main thread waits; the settings and the run context are only
// read, and the running counter and random number are the worker's own.
//
// With more than one job, the first stage of the files after the current one
// (PrepareOneFile: the extraction, the operations and the encoding, as far as
// they do not depend on the files before) runs ahead on helper threads, at
// most `jobs` files in work at once (so while one file is finished, up to
// jobs - 1 later ones are prepared); everything else (names, checks of the
// output, saving, numbers, file times) happens on the worker's thread
// strictly in input order, so what is printed and written is the same for
// any number of jobs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "convert/file_outcome.h"
#include "convert/run_context.h"
#include "job/input_set.h"
#include "job/job_lines.h"
#include "job/random_source.h"
#include "settings/settings.h"

namespace quorbix {

class LookAhead;
struct LiveCounts;

// Converts file.inputFile and says what became of it. Sets file.outputPath
// once the output path is known.
using ConvertOneFile = std::function<FileOutcome(FileState&)>;

// Told about every file of the run, in input order, once its outcome is
// known, on the worker's thread; also about the files not tried because the
// run ended early (their outcome says why).
using FileDone = std::function<void(const FileState&, const FileOutcome&)>;

// How the files of a run went.
struct RunTally {
  int32_t converted = 0;   // written, or already there with --skip-existing
  int32_t failed = 0;      // not converted, including those not tried
  int32_t companions = 0;  // a disc's companions, skipped
  int32_t notTried = 0;    // of the failed: left when the output had no room
  bool endedEarly = false; // the output had no room: later files were not tried
};

// The first stage of a file's conversion, given its input: may run on any
// thread before the file's turn, several at once. Returns the second stage,
// run at the file's turn on the worker's thread.
using PrepareOneFile = std::function<ConvertOneFile(const InputSet::Entry& input)>;

// The numbers the next file's placeholders show: "%rnd%" and "%n%".
struct FileNumbers {
  int32_t randomNumber = 1;
  int32_t fileCounter = 1;
};

class ConversionWorker {
 public:
  // `numbers` are the first file's.
  ConversionWorker(const Settings& settings, const RunContext& run, const InputSet& inputs,
                   ConvertOneFile convert, RandomSource random, LineSink print,
                   FileNumbers numbers = {})
      : ConversionWorker(settings, run, inputs, whole(std::move(convert)), 1, std::move(random),
                         std::move(print), numbers) {}
  // `jobs`: files in work at once (1: one after another, no helper threads).
  ConversionWorker(const Settings& settings, const RunContext& run, const InputSet& inputs,
                   PrepareOneFile prepare, int32_t jobs, RandomSource random, LineSink print,
                   FileNumbers numbers = {})
      : settings_(settings), run_(run), inputs_(inputs), prepare_(std::move(prepare)),
        jobs_(jobs < 1 ? 1 : jobs), random_(std::move(random)), print_(std::move(print)),
        numbers_(numbers) {}

  // From now on the file in work and the files converted and failed are
  // also counted in `counts` (none: nullptr), for another thread to read.
  void watch(LiveCounts* counts) { live_ = counts; }

  // Every file's outcome goes to `done` as well.
  void reportTo(FileDone done) { done_ = std::move(done); }

  // Converts every file; returns the number converted successfully. A file
  // that fails for want of room ends the run: the files after it are not
  // tried.
  int32_t run();

  const RunTally& tally() const { return tally_; }

  // The numbers the file after the last one would have had.
  const FileNumbers& numbers() const { return numbers_; }

 private:
  const Settings& settings_;
  const RunContext& run_;
  // A conversion with nothing to do ahead.
  static PrepareOneFile whole(ConvertOneFile convert) {
    return [convert = std::move(convert)](const InputSet::Entry&) { return convert; };
  }
  // The file's turn: its lines, its second stage, the numbers.
  FileOutcome finish(const InputSet::Entry& entry, LookAhead& ahead);
  // A file the run no longer tries, after `stop_`'s reason.
  void notTried(const InputSet::Entry& entry);
  void count(const FileState& file, const FileOutcome& outcome);

  const InputSet& inputs_;
  PrepareOneFile prepare_;
  int32_t jobs_;
  RandomSource random_;
  LineSink print_;
  FileNumbers numbers_;
  LiveCounts* live_ = nullptr;
  FileDone done_;
  RunTally tally_;
  std::string stop_;  // why the remaining files are not tried; "" while they are
};

// Creates the missing levels of settings.job.output + file.relativeFolder.
// Failures are not reported; the file then fails to save.
void createOutputSubfolders(const Settings& settings, const FileState& file);

// Gives file.outputPath the last-write time FILE-TIMESTAMP asks for:
// ORIGINAL copies the input's (to the second), CUSTOM sets
// FILE-TIMESTAMP-CUSTOM (a local date value), CURRENT leaves it. Failures are
// ignored.
void applyFileTime(const Settings& settings, const FileState& file);

}  // namespace quorbix
