// Plane: one 8-bit component of a picture (luma or one chroma component),
// rows stored one after another without padding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pcd/byte_buffer.h"

namespace quorbix::pcd {

struct Plane {
  int width = 0;
  int height = 0;
  ByteBuffer pixels;  // not zeroed: whoever makes a plane fills it

  Plane() = default;
  Plane(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {}
  // Makes the plane w x h; its pixels are then undefined. Within the room
  // reserved before, no memory is taken.
  void resize(int w, int h) {
    width = w;
    height = h;
    pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  }
  // Room for a w x h plane, so that growing up to it keeps the same memory.
  void reserve(int w, int h) { pixels.reserve(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)); }
  uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
  const uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width); }
  uint8_t at(int x, int y) const { return row(y)[x]; }
};

// A PhotoYCC picture: full-size luma, chroma at half width and half height.
struct YccPicture {
  Plane luma;
  Plane chroma1;
  Plane chroma2;
};

// Doubles a plane in both directions: the source samples land on the even
// positions, the odd ones are the rounded mean of their two (or four)
// neighbours, the last row and column repeating the edge.
Plane upsample2x(const Plane& source);

// The same, in the plane's own memory (reserve room for it first to keep
// that memory): a picture decoded up the levels needs no second plane and no
// fresh pages per level.
void upsample2xInPlace(Plane& plane);

}  // namespace quorbix::pcd
