// The real ConverterRunner: starts the outside converter program "convert",
// found first in the program's own folder and then on PATH, with separate
// argv entries (never through a shell), its standard streams on /dev/null,
// and waits for it without a time limit. Only the one in the program's own
// folder counts as ours: its "cannot write" exit status is reported, and it
// is not asked for sub-images the input's Image Pac header rules out.
#pragma once

#include <memory>
#include <string>

#include "convert/convert_file.h"

namespace quorbix {

std::unique_ptr<ConverterRunner> makeProcessConverterRunner(const std::string& programFolder);

}  // namespace quorbix
