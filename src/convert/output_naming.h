// Output names: the filename mask and the watermark text with their 18
// placeholders, and the full output path, for the file whose state is given.
// Pure but for the clock; safe on the worker thread.
#pragma once

#include <string>

#include "convert/run_context.h"
#include "settings/settings.h"

namespace quorbix {

std::string buildOutputPath(const Settings& settings, const FileState& file);
std::string expandFilenameMask(const Settings& settings, const FileState& file);
std::string expandWatermarkText(const Settings& settings, const FileState& file);

// True when the filename mask, or the watermark text, shows "%rnd%" or
// "%n%": numbers that depend on how the files before this one went.
bool filenameMaskDependsOnOrder(const Settings& settings);
bool watermarkTextDependsOnOrder(const Settings& settings);

}  // namespace quorbix
