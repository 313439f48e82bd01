// Opening files as C streams by UTF-8 path, for libraries that read and
// write through FILE* (FreeImage's handle functions).
#pragma once

#include <cstdio>
#include <string>

namespace quorbix::platform {

// Opens an existing regular file for reading; nullptr when it cannot be
// opened or is not a regular file (a folder, a device, a pipe).
std::FILE* openForReading(const std::string& path);

// Writes the stream's buffer and has the system put the file's data on the
// disk (fsync); true when both succeed. The stream stays open.
bool flushToDisk(std::FILE* stream);

}  // namespace quorbix::platform
