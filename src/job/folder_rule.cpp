#include "job/folder_rule.h"

#include "platform/file_system.h"

namespace quorbix {

FolderRuleResult applyFolderRule(std::string& path, const std::string& baseFolder) {
  if (path.rfind("..", 0) == 0) return FolderRuleResult::Incorrect;
  if (path.empty() || path.front() != '/') {
    if (path.rfind("./", 0) == 0) path.erase(0, 2);
    path = baseFolder + path;
  }
  if (path.empty() || path.back() != '/') path += '/';
  return platform::isFolder(path) ? FolderRuleResult::Ok : FolderRuleResult::Invalid;
}

}  // namespace quorbix
