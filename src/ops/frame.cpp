#include "ops/operations.h"

namespace quorbix {

Bitmap frameImage(Bitmap image, int, int, const Settings&) { return image; }  // TODO(ops): not built yet

}  // namespace quorbix
