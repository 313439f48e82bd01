#include "ops/operations.h"

namespace quorbix {

Bitmap rotateImage(Bitmap image, const Settings&) { return image; }  // TODO(ops): not built yet

}  // namespace quorbix
