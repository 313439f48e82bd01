#include "platform/file_name_rules.h"

namespace quorbix::platform {

std::string unholdableNameReason(std::string_view) { return ""; }

}  // namespace quorbix::platform
