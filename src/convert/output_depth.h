// Output colour depth and save flags of the output format.
#pragma once

#include <cstdint>
#include <string>

#include "convert/format_registry.h"
#include "convert/run_context.h"
#include "ops/bitmap.h"
#include "settings/settings.h"

namespace quorbix {

// Brings the finished image to the output depth (file.targetBpp, settled
// from file.sourceDepth by the AUTO rule when the run keeps the source's
// depth). `conversion` is the output extension. Follows the operations'
// ownership rule (ops/operations.h).
Bitmap applyOutputDepth(Bitmap image, const std::string& conversion, const RunContext& run,
                        FileState& file, const FormatRegistry& registry);

// FreeImage save flags of `extension` from the save options. Pure.
int32_t computeSaveFlags(const std::string& extension, const SaveOptions& options);

}  // namespace quorbix
