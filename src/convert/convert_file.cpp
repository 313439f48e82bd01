#include "convert/convert_file.h"

namespace quorbix {

bool convertFile(ConvertContext&) { return false; }  // TODO(convert): not built yet

}  // namespace quorbix
