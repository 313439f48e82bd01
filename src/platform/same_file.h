// Whether two paths name one file, by the file system's own rules: the
// spelling (on Windows letter case does not tell names apart) and, where a
// file exists, its identity (one file reached through a link, a hard link
// or another spelling of its folders). Safe from any thread; none throws.
#pragma once

#include <string>
#include <string_view>

namespace quorbix::platform {

// The text by which this system's names tell paths apart, for paths in one
// form (from resolvedPath): on Windows upper-cased by Windows' own case
// mapping, so that names differing only in letter case give one text; on
// Linux `path` unchanged.
std::string comparablePath(std::string_view path);

// Which file `path` leads to (links followed): its volume and its number
// there (the volume serial and file id on Windows, the device and inode on
// Linux) as a text that two paths share exactly when they reach one file;
// "" when nothing is there. Never equal to a path's text.
std::string fileIdentity(const std::string& path);

}  // namespace quorbix::platform
