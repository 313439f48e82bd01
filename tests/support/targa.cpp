#include "support/targa.h"

#include <FreeImage.h>

#include "support/bitmap_fixtures.h"

namespace quorbix::test {

bool writeTarga(const Bitmap& picture, const std::string& path) {
  return picture && FreeImage_Save(FIF_TARGA, picture.get(), path.c_str(), TARGA_DEFAULT) != FALSE;
}

bool writeTarga(const std::string& path, int width, int height) {
  return writeTarga(gradientBitmap(width, height), path);
}

}  // namespace quorbix::test
