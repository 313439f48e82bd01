#include "job/conversion_job.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "convert/convert_file.h"
#include "convert/process_converter_runner.h"
#include "drawing/font.h"
#include "job/background_thread.h"
#include "job/input_import.h"
#include "job/job_progress.h"
#include "job/output_guard.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/folder_separator.h"
#include "platform/temp_folder.h"

namespace quorbix {
namespace {

// The real per-file conversion of a run: one private temporary folder, one
// converter runner and one output guard for all its files.
class RunConversion {
 public:
  RunConversion(const Settings& settings, const RunContext& run, const FormatRegistry& registry,
                const InputSet& inputs)
      : settings_(settings), run_(run), registry_(registry),
        runner_(makeProcessConverterRunner(run.programFolder)), guard_(settings.job.output, inputs) {}

  // The extraction, the operations and the encoding now, as far as they
  // do not depend on the files before (ahead of the file's turn, on any
  // thread); the rest is returned for the file's turn on the worker's
  // thread.
  ConvertOneFile prepare(const InputSet::Entry& input) {
    auto prepared = std::make_shared<PreparedPicture>(
        preparePicture(settings_, run_, registry_, input.path, input.relativeFolder, extract(input.path)));
    return [this, prepared](FileState& file) { return finish(file, std::move(*prepared)); };
  }

  // Empty when the run has no temporary folder, and no file can be extracted.
  const platform::TemporaryFolder& temporaryFolder() const { return temporary_; }

  // The entries of the folders files were saved into go to the disk, so a
  // counted file is there after a power cut.
  void flushOutputFolders() const {
    for (const std::string& folder : outputFolders_) platform::flushFolderToDisk(folder);
  }

 private:
  // In a folder of its own inside the run's, so two inputs of the same name
  // never meet. Without a private folder the temporary Targa would land
  // beside the user's files; every file fails instead.
  ExtractedPicture extract(const std::string& inputFile) {
    if (temporary_.path().empty()) return {};
    // Built by appending: GCC 12's restrict check misreads "x" + to_string().
    std::string name = "x";
    name += std::to_string(++extractions_);
    const std::string own = temporary_.makeSubfolder(name);
    ExtractedPicture extracted =
        extractPicture(inputFile, *runner_, own.empty() ? temporary_.path() : own, run_.tone);
    platform::TemporaryFolder::removeSubfolder(own);
    return extracted;
  }

  // An output path that leaves the output folder, names an input or was
  // written by an earlier file fails this file, and the reason says why.
  FileOutcome finish(FileState& file, PreparedPicture prepared) {
    auto refuse = [this](const std::string& outputPath) { return guard_.refusal(outputPath); };
    ConvertContext context{settings_, run_, file, registry_, *runner_, std::string(), refuse};
    FileOutcome outcome = finishFile(context, std::move(prepared));
    if (!outcome.converted()) return outcome;
    // Written now, or there already and kept: either way no later file of
    // the run may replace it.
    guard_.written(file.inputFile, file.outputPath);
    const size_t slash = platform::lastFolderSeparator(file.outputPath);
    outputFolders_.insert(slash == std::string::npos ? std::string() : file.outputPath.substr(0, slash + 1));
    return outcome;
  }

  const Settings& settings_;
  const RunContext& run_;
  const FormatRegistry& registry_;
  platform::TemporaryFolder temporary_;
  std::unique_ptr<ConverterRunner> runner_;
  OutputGuard guard_;
  std::set<std::string> outputFolders_;
  std::atomic<unsigned> extractions_{0};  // numbers the extractions' folders
};

}  // namespace

JobResult ConversionJob::run(bool quiet) {
  if (!services_.print) services_.print = [](std::string_view line) { platform::printLine(line); };
  if (!services_.printError) services_.printError = [](std::string_view line) { platform::printErrorLine(line); };
  if (!services_.createFont) services_.createFont = drawing::createFont;
  if (!services_.random) services_.random = makeRandomSource();

  JobResult result;
  if (!prepareRun(settings_, run_, registry_, catalogue_, quiet, services_.print, services_.createFont)) {
    return result;
  }
  if (!settings_.job.report.empty()) {
    if (const Outcome opened = report_.open(settings_.job.report); !opened) {
      services_.printError("Error: The report file " + settings_.job.report + " cannot be written: " +
                           opened.reason);
      return result;
    }
  }
  result.started = true;
  if (!quiet && platform::openStatusLine()) {
    status_.emplace(platform::monotonicMilliseconds, platform::statusLineWidth, platform::showStatusLine);
  }
  result.found = importPhase(quiet);
  if (result.found != 0) result.tally = conversionPhase(quiet, result.found);
  if (status_) {
    platform::closeStatusLine();
    status_.reset();
  }
  return result;
}

void ConversionJob::fileDone(const FileState& file, const FileOutcome& outcome) {
  const LineSink& printError = services_.printError;
  switch (outcome.status) {
    case FileStatus::Converted: break;
    case FileStatus::Failed:
      printError("Error: " + file.inputFile + " not converted: " + outcome.reason);
      break;
    case FileStatus::Companion:
    case FileStatus::AlreadyThere:
      printError("Skipped: " + file.inputFile + ": " + outcome.reason);
      break;
  }
  for (const std::string& warning : outcome.warnings) printError("Warning: " + file.inputFile + ": " + warning);
  report_.add(file, outcome);
}

int32_t ConversionJob::importPhase(bool quiet) {
  const LineSink& print = services_.print;
  if (!quiet) print(catalogue_.text("General", "Importing"));
  inputs_.clear();
  LiveCounts counts;
  std::function<void()> showStatus;
  if (status_) showStatus = [&] { status_->showImport(counts.found.load(std::memory_order_relaxed)); };
  int32_t imported = importInputs(settings_.job.input, run_.inputFile,
                                  registry_.acceptedInputExtensions, inputs_,
                                  status_ ? &counts.found : nullptr, showStatus);
  if (!quiet) {
    print(formatMessage(catalogue_.text("Msg", "Import complete"), std::to_string(imported)));
  }
  if (imported == 0) {
    print(catalogue_.text("Msg", "Conversion is not complete"));
    print(catalogue_.text("Msg", "Empty input files"));
  }
  return imported;
}

RunTally ConversionJob::conversionPhase(bool quiet, int32_t imported) {
  const LineSink& print = services_.print;
  if (!quiet) print(catalogue_.text("General", "Converting"));

  // The real per-file conversion lives as long as this phase.
  std::optional<RunConversion> real;
  PrepareOneFile prepare;
  if (services_.convert) {
    prepare = [convert = services_.convert](const InputSet::Entry&) { return convert; };
  } else {
    real.emplace(settings_, run_, registry_, inputs_);
    if (real->temporaryFolder().path().empty()) {
      services_.printError("Error: No temporary folder can be made in " + real->temporaryFolder().triedIn() +
                           ": no file was converted");
      print(catalogue_.text("Msg", "Conversion is not complete"));
      RunTally none;
      none.failed = imported;
      return none;
    }
    prepare = [&real](const InputSet::Entry& input) { return real->prepare(input); };
  }

  FileNumbers first;
  first.randomNumber = services_.random();
  ConversionWorker worker(settings_, run_, inputs_, prepare, run_.jobs, services_.random, print, first);
  worker.reportTo([this](const FileState& file, const FileOutcome& outcome) { fileDone(file, outcome); });
  JobProgress progress;
  LiveCounts counts;
  std::function<void()> showStatus;
  if (status_) {
    worker.watch(&counts);
    status_->restart();
    showStatus = [&] {
      ConversionStatus now;
      now.total = imported;
      now.converted = counts.converted.load(std::memory_order_relaxed);
      now.failed = counts.failed.load(std::memory_order_relaxed);
      // Below the input folder a file shows its path from there.
      if (const std::string* current = counts.current.load(std::memory_order_relaxed)) {
        const std::string& folder = settings_.job.input;
        now.current = !folder.empty() && current->rfind(folder, 0) == 0 ? current->substr(folder.size()) : *current;
      }
      status_->showConversion(now);
    };
  }
  runOnBackgroundThread([&] { progress.set(worker.run()); }, showStatus, StatusLine::kIntervalMilliseconds);
  int32_t converted = progress.resultCount();
  if (real) real->flushOutputFolders();
  const RunTally& tally = worker.tally();
  if (tally.endedEarly) {
    services_.printError("Error: The output cannot take more files, the run ended early: " +
                         std::to_string(tally.notTried) + " files were not tried");
  }

  if (converted != 0) {
    if (!quiet) {
      print(catalogue_.text("Msg", "Conversion complete"));
      print(formatMessage(catalogue_.text("Msg", "Files converted"), std::to_string(converted),
                          std::to_string(imported)));
    }
  } else {
    print(catalogue_.text("Msg", "Conversion is not complete"));
  }
  if (settings_.watermark.watermark == WATERMARK_TEXT) run_.watermarkFont.reset();
  return tally;
}

}  // namespace quorbix
