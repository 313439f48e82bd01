#include "convert/output_depth.h"

namespace quorbix {

// TODO(convert): not built yet.
Bitmap applyOutputDepth(Bitmap image, Settings&, const FormatRegistry&) { return image; }
int32_t computeSaveFlags(const std::string&, const Settings&) { return 0; }

}  // namespace quorbix
