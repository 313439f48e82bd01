// Output colour depth and save flags of the output format.
#pragma once

#include <cstdint>
#include <string>

#include "image/bitmap.h"
#include "image/format_registry.h"
#include "settings/settings.h"

namespace quorbix {

// The AUTO rule: with `keepSourceDepth`, the output format's depth for a
// picture extracted at `sourceDepth` (the depth as loaded, not after the
// operations); otherwise the run's `targetBpp`.
int32_t settledOutputDepth(const FormatRegistry& registry, const std::string& conversion,
                           bool keepSourceDepth, int32_t targetBpp, int32_t sourceDepth);

// Brings the finished image to the output depth `target` (settled by
// settledOutputDepth). `conversion` is the output extension. Follows the
// operations' ownership rule (ops/operations.h).
Bitmap applyOutputDepth(Bitmap image, const std::string& conversion, int32_t target);

// FreeImage save flags of `extension` from the save options. Pure.
int32_t computeSaveFlags(const std::string& extension, const SaveOptions& options);

}  // namespace quorbix
