// Opening files as C streams by UTF-8 path, for libraries that read through
// FILE* (FreeImage's handle functions). Writing: platform/staged_file.h.
#pragma once

#include <cstdio>
#include <string>

namespace quorbix::platform {

// Opens an existing regular file for reading; nullptr when it cannot be
// opened or is not a regular file (a folder, a device, a pipe).
std::FILE* openForReading(const std::string& path);

}  // namespace quorbix::platform
