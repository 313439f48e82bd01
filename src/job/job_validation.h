// The first half of a run: classifies the input, normalises the input and
// output folders, fills the defaults that depend on the input, checks the
// settings the option parser stores unjudged, echoes every effective setting
// in debug mode, and derives the per-run values every file conversion reads
// into the run context (RunContext).
// Main thread only, before any background thread of the job exists.
#pragma once

#include <functional>
#include <memory>

#include "base/message_catalogue.h"
#include "convert/run_context.h"
#include "drawing/font.h"
#include "image/format_registry.h"
#include "job/job_lines.h"
#include "settings/settings.h"

namespace quorbix {

using FontFactory =
    std::function<std::shared_ptr<drawing::Font>(const drawing::FontRequest&)>;

// Prints "Preparing..." unless quiet, the echo in debug mode, and on the
// first failed check exactly one "Error: ..." line (also when quiet).
// Returns true when the run may go on to the import. `settings` gets its
// normalised input, output and conversion; `run` comes with its
// programFolder set and gets everything else.
bool prepareRun(Settings& settings, RunContext& run, const FormatRegistry& registry, MessageCatalogue& catalogue,
                bool quiet, const LineSink& print, const FontFactory& createFont);

// The font request of the text watermark: face, points, style and effect.
drawing::FontRequest watermarkFontRequest(const TextWatermarkOptions& options);

}  // namespace quorbix
