// What runs that died left behind. The program's temporary folders and files
// carry the process id of their run in their names ("<prefix><pid>-..."), so
// that what a run that died left can be told from what a running one uses.
#pragma once

#include <string>
#include <string_view>

namespace quorbix::platform {

enum class LeftoverKind { Folder, File };

// Removes the entries of `folder` ("" for the current one) named
// "<prefix><pid>-..." whose process no longer exists and that are this
// user's folders (with everything in them) or regular files, as `kind` says.
// Symbolic links are never followed.
void removeLeftoversOfDeadRuns(const std::string& folder, std::string_view prefix, LeftoverKind kind);

}  // namespace quorbix::platform
