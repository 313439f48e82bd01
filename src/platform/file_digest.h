// The SHA-256 digest of a file's bytes, computed by the system's own
// library (glib on Linux, CNG on Windows). Safe from any thread.
#pragma once

#include <string>

namespace quorbix::platform {

// The digest of the file at `path` as 64 lower-case hexadecimal digits; ""
// when the file cannot be read.
std::string fileSha256(const std::string& path);

}  // namespace quorbix::platform
