// The rule that turns a folder path given by the user (input or output
// folder) into an absolute folder ending in a separator: a rooted path
// (platform::isRootedPath: beginning with "/" on Linux; beginning with a
// separator or holding a ":" on Windows) is taken as it is; anything else
// is taken relative to a base folder — the program's own folder for the
// folders the user gives — (a leading "./", on Windows also ".\", is
// dropped, an empty path is the base folder); a path beginning with ".." is
// refused. Folders are never created here.
#pragma once

#include <string>

namespace quorbix {

enum class FolderRuleResult {
  Ok,
  Incorrect,  // begins with ".."
  Invalid,    // not an existing folder
};

// Normalises `path` in place (also on failure, as far as it got).
// `baseFolder` ends in a separator.
FolderRuleResult applyFolderRule(std::string& path, const std::string& baseFolder);

}  // namespace quorbix
