#include "pcd/plane.h"

namespace quorbix::pcd {

namespace {

// Doubles one row horizontally.
void widenRow(const uint8_t* in, int width, uint8_t* out) {
  for (int x = 0; x + 1 < width; ++x) {
    out[2 * x] = in[x];
    out[2 * x + 1] = static_cast<uint8_t>((in[x] + in[x + 1] + 1) >> 1);
  }
  if (width > 0) {
    out[2 * width - 2] = in[width - 1];
    out[2 * width - 1] = in[width - 1];
  }
}

}  // namespace

Plane upsample2x(const Plane& source) {
  Plane out(source.width * 2, source.height * 2);
  if (source.width == 0 || source.height == 0) return out;
  for (int y = 0; y < source.height; ++y) widenRow(source.row(y), source.width, out.row(2 * y));
  const std::size_t w = static_cast<std::size_t>(out.width);
  for (int y = 0; y + 1 < source.height; ++y) {
    const uint8_t* above = out.row(2 * y);
    const uint8_t* below = out.row(2 * y + 2);
    uint8_t* mid = out.row(2 * y + 1);
    for (std::size_t x = 0; x < w; ++x) mid[x] = static_cast<uint8_t>((above[x] + below[x] + 1) >> 1);
  }
  const uint8_t* last = out.row(out.height - 2);
  uint8_t* copy = out.row(out.height - 1);
  for (std::size_t x = 0; x < w; ++x) copy[x] = last[x];
  return out;
}

}  // namespace quorbix::pcd
