// The rule that turns a folder path given by the user (input or output
// folder) into an absolute folder ending in "/": a path beginning with "/"
// is absolute; anything else is taken relative to a base folder — the
// program's own folder for the folders the user gives — (a leading "./" is
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
// `baseFolder` ends in "/".
FolderRuleResult applyFolderRule(std::string& path, const std::string& baseFolder);

}  // namespace quorbix
