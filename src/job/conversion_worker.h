// ConversionWorker: the body of the conversion thread. Visits the InputSet
// in its iteration order, sets the current file's fields in the settings,
// prepares the output sub-folder, runs the per-file conversion, prints the
// per-file lines in debug mode, and after each success advances the random
// number and the file counter and sets the output's file time. Runs on one
// background thread while the main thread waits; it is the only writer of
// the per-file fields of Settings during that time.
#pragma once

#include <cstdint>
#include <functional>

#include "job/input_set.h"
#include "job/job_lines.h"
#include "job/random_source.h"
#include "settings/settings.h"

namespace quorbix {

// Converts settings.inputFile; true when the output was saved. Sets
// settings.outputPath once the output path is known.
using ConvertOneFile = std::function<bool(Settings&)>;

class ConversionWorker {
 public:
  ConversionWorker(Settings& settings, const InputSet& inputs, ConvertOneFile convert,
                   RandomSource random, LineSink print)
      : settings_(settings), inputs_(inputs), convert_(std::move(convert)),
        random_(std::move(random)), print_(std::move(print)) {}

  // Converts every file; returns the number converted successfully.
  int32_t run();

 private:
  Settings& settings_;
  const InputSet& inputs_;
  ConvertOneFile convert_;
  RandomSource random_;
  LineSink print_;
};

// Creates the missing levels of settings.output + settings.relativeFolder.
// Failures are not reported; the file then fails to save.
void createOutputSubfolders(const Settings& settings);

// Gives settings.outputPath the last-write time FILE-TIMESTAMP asks for:
// ORIGINAL copies the input's (to the second), CUSTOM sets
// FILE-TIMESTAMP-CUSTOM (a local date value), CURRENT leaves it. Failures are
// ignored.
void applyFileTime(const Settings& settings);

}  // namespace quorbix
