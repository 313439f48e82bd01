#include "job/folder_rule.h"

#include "platform/file_system.h"
#include "platform/folder_separator.h"

namespace quorbix {

FolderRuleResult applyFolderRule(std::string& path, const std::string& baseFolder) {
  if (path.rfind("..", 0) == 0) return FolderRuleResult::Incorrect;
  if (!platform::isRootedPath(path)) {
    if (path.size() >= 2 && path[0] == '.' && platform::isFolderSeparator(path[1])) path.erase(0, 2);
    path = baseFolder + path;
  }
  if (path.empty() || !platform::isFolderSeparator(path.back())) path += platform::kFolderSeparator;
  return platform::isFolder(path) ? FolderRuleResult::Ok : FolderRuleResult::Invalid;
}

}  // namespace quorbix
