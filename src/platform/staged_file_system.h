// The operating system's part of StagedFile (platform/staged_file.h): the
// few calls whose form differs between systems. Only the staged file's
// sources include this.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace quorbix::platform::staging {

// The folder part of `path`, up to and including its last separator; "" when
// there is none.
std::string folderOf(const std::string& path);
long processId();
// Eight letters or digits, unpredictable enough for a name (creating with
// "exclusive" keeps collisions harmless).
std::string randomSuffix();
// A new file at `path` for reading and writing, not inherited by children;
// its descriptor, or -1 with `exists` telling whether the name was taken.
int createExclusive(const std::string& path, bool& exists);
// Writes all of it; false on an error.
bool writeAll(int fd, const void* data, size_t length);
// A buffered stream on `fd` (which it then owns), or nullptr.
std::FILE* openStream(int fd);
bool syncToDisk(int fd);
bool closeDescriptor(int fd);
// Puts `from` in the place of `to`, replacing it, in one step.
bool replaceFile(const std::string& from, const std::string& to);
void removeFile(const std::string& path);

}  // namespace quorbix::platform::staging
