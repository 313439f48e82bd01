// Output colour depth and save flags of the output format.
#pragma once

#include <cstdint>
#include <string>

#include "convert/format_registry.h"
#include "ops/bitmap.h"
#include "settings/settings.h"

namespace quorbix {

// Brings the finished image to the output depth (settings.targetBpp, settled
// from sourceDepth by the AUTO rule when keepSourceDepth). Follows the
// operations' ownership rule (ops/operations.h).
Bitmap applyOutputDepth(Bitmap image, Settings& settings, const FormatRegistry& registry);

// FreeImage save flags of `extension` from the settings. Pure.
int32_t computeSaveFlags(const std::string& extension, const Settings& settings);

}  // namespace quorbix
