// Output colour depth and save flags of the output format.
#pragma once

#include <cstdint>
#include <string>

#include "image/bitmap.h"
#include "image/format_registry.h"
#include "settings/settings.h"

namespace quorbix {

// The AUTO rule: with keepSourceDepth, settings.targetBpp becomes the
// output format's depth for settings.sourceDepth (the depth as loaded, not
// after the operations); otherwise nothing changes.
void settleOutputDepth(Settings& settings, const FormatRegistry& registry);

// Brings the finished image to the output depth (settings.targetBpp, settled
// by settleOutputDepth first). Follows the operations' ownership rule
// (ops/operations.h).
Bitmap applyOutputDepth(Bitmap image, Settings& settings, const FormatRegistry& registry);

// FreeImage save flags of `extension` from the settings. Pure.
int32_t computeSaveFlags(const std::string& extension, const Settings& settings);

}  // namespace quorbix
