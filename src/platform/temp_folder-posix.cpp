#include "platform/temp_folder.h"

namespace quorbix::platform {

// TODO(convert): not built yet.
TemporaryFolder::TemporaryFolder() = default;
TemporaryFolder::~TemporaryFolder() = default;

}  // namespace quorbix::platform
