// ConversionJob: one run of the program after the options are read —
// validation and the settings echo, the import of the input files, the worker
// that converts them one after another, and the summary. Runs on the main
// thread; starts at most one background thread at a time.
#pragma once

#include "app/message_catalogue.h"
#include "convert/format_registry.h"
#include "settings/settings.h"

namespace quorbix {

class ConversionJob {
 public:
  ConversionJob(Settings& settings, const FormatRegistry& registry, MessageCatalogue& catalogue)
      : settings_(settings), registry_(registry), catalogue_(catalogue) {}

  // Prints its own lines; returns when the run is over.
  void run(bool quiet);

 private:
  Settings& settings_;
  const FormatRegistry& registry_;
  MessageCatalogue& catalogue_;
};

}  // namespace quorbix
