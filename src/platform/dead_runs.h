// What runs that died left behind. The program's temporary folders and files
// are named "<prefix><pid>-..." and held by their run while it lives: the
// run keeps a claim on its folder and its staging files open (a shared lock
// on Linux; on Windows a handle that shares neither writing the folder nor
// deleting the file). Whether a run is alive is told by that hold, not by
// the process id, which the system reuses.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorbix::platform {

enum class LeftoverKind { Folder, File };

// Removes the entries of `folder` ("" for the current one) named
// "<prefix><pid>-..." that no running program holds and that are this
// user's folders (with everything in them) or regular files, as `kind` says.
// Symbolic links are never followed.
void removeLeftoversOfDeadRuns(const std::string& folder, std::string_view prefix, LeftoverKind kind);

// Holds the folder `path`, which this run made, as a live run's until
// releaseFolder; kNoHold when it cannot be held (others then take it for a
// dead run's). Release before removing the folder.
constexpr intptr_t kNoHold = -1;
intptr_t holdFolder(const std::string& path);
void releaseFolder(intptr_t hold);

}  // namespace quorbix::platform
