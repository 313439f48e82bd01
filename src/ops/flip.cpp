#include "ops/operations.h"

namespace quorbix {

void flipImage(const Bitmap&, const Settings&) {}  // TODO(ops): not built yet

}  // namespace quorbix
