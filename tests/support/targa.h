// Targa pictures for the tests to hand to the program as a converter's
// output (through FakeConverter or the fake `convert` script).
#pragma once

#include <string>

#include "image/bitmap.h"

namespace quorbix::test {

// Saves `picture` as an uncompressed Targa at `path`.
bool writeTarga(const Bitmap& picture, const std::string& path);

// Writes a 24-bit Targa of width x height at `path`: gradientBitmap of
// support/bitmap_fixtures.h.
bool writeTarga(const std::string& path, int width, int height);

}  // namespace quorbix::test
