// ConversionJob: one run of the program after the options are read —
// validation and the settings echo, the import of the input files, the worker
// that converts them in input order (extracting up to --jobs files ahead on
// helper threads of its own), and the summary. Runs on the main thread;
// starts one background phase at a time.
#pragma once

#include <optional>

#include "base/message_catalogue.h"
#include "image/format_registry.h"
#include "job/conversion_worker.h"
#include "job/input_set.h"
#include "job/job_lines.h"
#include "job/job_validation.h"
#include "job/run_report.h"
#include "job/random_source.h"
#include "job/status_line.h"
#include "settings/settings.h"

namespace quorbix {

// What the job uses of the outside world. An empty member means the real
// service: console lines, the platform's fonts, a system-seeded random
// source, and convertFile with the run's temporary folder and the outside
// converter. Tests replace them; a `convert` given runs wholly at each
// file's turn.
struct JobServices {
  LineSink print;
  LineSink printError;  // standard error: reasons, warnings, skipped files
  FontFactory createFont;
  RandomSource random;
  ConvertOneFile convert;
};

// How a run went, for the exit status.
struct JobResult {
  bool started = false;  // false: it stopped with an error before converting
  int32_t found = 0;     // input files found
  RunTally tally;        // how they went
};

class ConversionJob {
 public:
  // `settings` as read; the preparation normalises its job options, and it
  // is only read afterwards. `programFolder`: the executable's, ends in a separator.
  ConversionJob(Settings& settings, std::string programFolder, const FormatRegistry& registry,
                MessageCatalogue& catalogue, JobServices services = {})
      : settings_(settings), registry_(registry), catalogue_(catalogue),
        services_(std::move(services)) {
    run_.programFolder = std::move(programFolder);
  }

  // Prints its own lines; returns when the run is over. Unless `quiet`, a
  // terminal on standard error also shows the status line meanwhile. Every
  // file not converted is named on standard error with the reason, and the
  // report (--report) gets a line for every file.
  JobResult run(bool quiet);

  // The files of the run (filled by run()).
  const InputSet& inputs() const { return inputs_; }
  // What the preparation derived (filled by run()).
  const RunContext& runContext() const { return run_; }

 private:
  // The import phase; returns the number of imported files.
  int32_t importPhase(bool quiet);
  // The conversion phase and the summary.
  RunTally conversionPhase(bool quiet, int32_t imported);
  // A file's lines on standard error and in the report.
  void fileDone(const FileState& file, const FileOutcome& outcome);

  Settings& settings_;
  const FormatRegistry& registry_;
  MessageCatalogue& catalogue_;
  JobServices services_;
  RunContext run_;
  InputSet inputs_;
  RunReport report_;
  std::optional<StatusLine> status_;  // while the run shows one
};

}  // namespace quorbix
