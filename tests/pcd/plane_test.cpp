#include "pcd/plane.h"

#include <gtest/gtest.h>

#include <random>

namespace quorbix::pcd {
namespace {

Plane noise(int w, int h, unsigned seed) {
  Plane p(w, h);
  std::mt19937 random(seed);
  for (auto& v : p.pixels) v = static_cast<uint8_t>(random());
  return p;
}

// Enlarging in the plane's own memory, from the bottom up, must give exactly
// what enlarging into a second plane gives: a row overwritten too early would
// show as a difference near the top.
TEST(Plane, EnlargedInPlaceAsIntoASecondPlane) {
  const int sizes[][2] = {{1, 1}, {2, 1}, {1, 3}, {17, 2}, {33, 5}, {192, 128}, {384, 3}};
  for (const auto& size : sizes) {
    for (bool reserved : {false, true}) {
      const Plane source = noise(size[0], size[1], static_cast<unsigned>(size[0] * 131 + size[1]));
      const Plane expected = upsample2x(source);
      Plane plane;
      if (reserved) plane.reserve(size[0] * 2, size[1] * 2);
      plane.resize(size[0], size[1]);
      plane.pixels.assign(source.pixels.begin(), source.pixels.end());
      const uint8_t* memory = plane.pixels.data();
      upsample2xInPlace(plane);
      EXPECT_EQ(plane.width, expected.width);
      EXPECT_EQ(plane.height, expected.height);
      EXPECT_TRUE(plane.pixels == expected.pixels) << size[0] << " x " << size[1];
      if (reserved) {
        EXPECT_EQ(plane.pixels.data(), memory) << "the reserved room is used";
      }
    }
  }
}

}  // namespace
}  // namespace quorbix::pcd
