// Output names: the filename mask and the watermark text with their 18
// placeholders, and the full output path. Read the current file's fields of
// the settings; safe on the worker thread.
#pragma once

#include <string>

#include "settings/settings.h"

namespace quorbix {

std::string buildOutputPath(const Settings& settings);
std::string expandFilenameMask(const Settings& settings);
std::string expandWatermarkText(const Settings& settings);

}  // namespace quorbix
