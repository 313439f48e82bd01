// Opening files as C streams by UTF-8 path, for libraries that read through
// FILE* (FreeImage's handle functions). Pictures are written through
// platform/staged_file.h.
#pragma once

#include <cstdio>
#include <string>

namespace quorbix::platform {

// Opens an existing regular file for reading; nullptr when it cannot be
// opened or is not a regular file (a folder, a device, a pipe).
std::FILE* openForReading(const std::string& path);

// Creates `path`, or empties it when it is there, for writing; nullptr (and
// errno set) when that fails. For files written as they grow, such as the
// run report; pictures are written through StagedFile.
std::FILE* openForWriting(const std::string& path);

}  // namespace quorbix::platform
