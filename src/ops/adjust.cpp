#include "ops/operations.h"

namespace quorbix {

Bitmap adjustImage(Bitmap image, const Settings&) { return image; }  // TODO(ops): not built yet
Bitmap greyscaleImage(Bitmap image, const Settings&) { return image; }  // TODO(ops): not built yet
Bitmap thresholdImage(Bitmap image, const Settings&) { return image; }  // TODO(ops): not built yet

}  // namespace quorbix
