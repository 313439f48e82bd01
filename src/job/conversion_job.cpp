#include "job/conversion_job.h"

#include <atomic>
#include <memory>
#include <set>
#include <string>

#include "convert/convert_file.h"
#include "convert/process_converter_runner.h"
#include "drawing/font.h"
#include "job/background_thread.h"
#include "job/input_import.h"
#include "job/job_progress.h"
#include "job/output_guard.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/temp_folder.h"

namespace quorbix {

void ConversionJob::run(bool quiet) {
  if (!services_.print) services_.print = [](std::string_view line) { platform::printLine(line); };
  if (!services_.createFont) services_.createFont = drawing::createFont;
  if (!services_.random) services_.random = makeRandomSource();

  if (!prepareRun(settings_, run_, registry_, catalogue_, quiet, services_.print, services_.createFont)) {
    return;
  }
  int32_t imported = importPhase(quiet);
  if (imported == 0) return;
  conversionPhase(quiet, imported);
}

int32_t ConversionJob::importPhase(bool quiet) {
  const LineSink& print = services_.print;
  if (!quiet) print(catalogue_.text("General", "Importing"));
  inputs_.clear();
  int32_t imported = importInputs(settings_.job.input, run_.inputFile,
                                  registry_.acceptedInputExtensions, inputs_);
  if (!quiet) {
    print(formatMessage(catalogue_.text("Msg", "Import complete"), std::to_string(imported)));
  }
  if (imported == 0) {
    print(catalogue_.text("Msg", "Conversion is not complete"));
    print(catalogue_.text("Msg", "Empty input files"));
  }
  return imported;
}

void ConversionJob::conversionPhase(bool quiet, int32_t imported) {
  const LineSink& print = services_.print;
  if (!quiet) print(catalogue_.text("General", "Converting"));

  // The real per-file conversion needs one private temporary folder and one
  // converter runner for the whole run; both go away with this phase.
  std::unique_ptr<platform::TemporaryFolder> temporary;
  std::unique_ptr<ConverterRunner> runner;
  // Folders a file was saved into: their entries go to the disk before the
  // summary line, so a counted file is there after a power cut.
  std::set<std::string> outputFolders;
  std::unique_ptr<OutputGuard> guard;
  // Numbers the extractions' own temporary folders.
  std::atomic<unsigned> extractions{0};
  PrepareOneFile prepare;
  if (services_.convert) {
    prepare = [convert = services_.convert](const std::string&) { return convert; };
  } else {
    temporary = std::make_unique<platform::TemporaryFolder>();
    runner = makeProcessConverterRunner(run_.programFolder);
    guard = std::make_unique<OutputGuard>(settings_.job.output, inputs_);
    // The extraction, ahead of the file's turn and on any thread: in a folder
    // of its own inside the run's, so two inputs of the same name never meet.
    // Without a private folder the temporary Targa would land beside the
    // user's files; every file fails instead.
    prepare = [this, &temporary, &runner, &guard, &outputFolders, &extractions](const std::string& inputFile) {
      auto extracted = std::make_shared<ExtractedPicture>();
      if (!temporary->path().empty()) {
        // Built by appending: GCC 12's restrict check misreads "x" + to_string().
        std::string name = "x";
        name += std::to_string(++extractions);
        const std::string own = temporary->makeSubfolder(name);
        *extracted = extractPicture(inputFile, *runner, own.empty() ? temporary->path() : own);
        platform::TemporaryFolder::removeSubfolder(own);
      }
      // The rest, at the file's turn on the worker's thread.
      return ConvertOneFile([this, &guard, &runner, &outputFolders, extracted](FileState& file) {
        // An output path that leaves the output folder, names an input or
        // was written by an earlier file fails this file, with a line saying
        // why.
        auto accept = [&file, &guard](const std::string& outputPath) {
          const std::string refusal = guard->refusal(file.inputFile, outputPath);
          if (!refusal.empty()) platform::printErrorLine(refusal);
          return refusal.empty();
        };
        ConvertContext context{settings_, run_, file, registry_, *runner, std::string(), accept};
        if (!finishFile(context, std::move(*extracted))) return false;
        guard->written(file.inputFile, file.outputPath);
        const size_t slash = file.outputPath.rfind('/');
        outputFolders.insert(slash == std::string::npos ? std::string() : file.outputPath.substr(0, slash + 1));
        return true;
      });
    };
  }

  FileNumbers first;
  first.randomNumber = services_.random();
  ConversionWorker worker(settings_, run_, inputs_, prepare, run_.jobs, services_.random, print, first);
  JobProgress progress;
  runOnBackgroundThread([&] { progress.set(worker.run()); });
  int32_t converted = progress.resultCount();
  for (const std::string& folder : outputFolders) platform::flushFolderToDisk(folder);

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
}

}  // namespace quorbix
