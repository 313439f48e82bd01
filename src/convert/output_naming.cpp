#include "convert/output_naming.h"

namespace quorbix {

// TODO(convert): placeholders are not built yet.
std::string buildOutputPath(const Settings& s) { return s.output + s.relativeFolder + expandFilenameMask(s); }
std::string expandFilenameMask(const Settings& s) { return s.filenameMask; }
std::string expandWatermarkText(const Settings& s) { return s.wmText; }

}  // namespace quorbix
