#include "pcd/plane.h"

#include <cstring>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorbix::pcd {

namespace {

// Doubles one row horizontally.
void widenRow(const uint8_t* in, int width, uint8_t* out) {
  int x = 0;
#if defined(__SSE2__)
  // Sixteen samples at a time; the rounded mean is exactly pavgb's.
  for (; x + 17 <= width; x += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x + 1));
    const __m128i mean = _mm_avg_epu8(here, next);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), _mm_unpacklo_epi8(here, mean));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x + 16), _mm_unpackhi_epi8(here, mean));
  }
#endif
  for (; x + 1 < width; ++x) {
    out[2 * x] = in[x];
    out[2 * x + 1] = static_cast<uint8_t>((in[x] + in[x + 1] + 1) >> 1);
  }
  if (width > 0) {
    out[2 * width - 2] = in[width - 1];
    out[2 * width - 1] = in[width - 1];
  }
}

// The row between two widened rows: their rounded mean.
void meanRow(const uint8_t* above, const uint8_t* below, std::size_t width, uint8_t* out) {
  for (std::size_t x = 0; x < width; ++x) out[x] = static_cast<uint8_t>((above[x] + below[x] + 1) >> 1);
}

}  // namespace

void upsample2xInPlace(Plane& plane) {
  const int w = plane.width;
  const int h = plane.height;
  plane.resize(w * 2, h * 2);
  if (w == 0 || h == 0) return;
  // From the bottom up: output rows 2y and 2y+1 lie at or after source row y
  // in the buffer, so writing them never overwrites a source row still to be
  // read (source row y itself is widened into `current` first).
  const std::size_t wide = static_cast<std::size_t>(w) * 2;
  std::vector<uint8_t> rows(2 * wide);
  uint8_t* current = rows.data();
  uint8_t* below = rows.data() + wide;
  uint8_t* data = plane.pixels.data();
  auto sourceRow = [&](int y) { return data + static_cast<std::size_t>(y) * static_cast<std::size_t>(w); };
  auto outputRow = [&](int y) { return data + static_cast<std::size_t>(y) * wide; };
  widenRow(sourceRow(h - 1), w, below);
  std::memcpy(outputRow(2 * h - 1), below, wide);
  std::memcpy(outputRow(2 * h - 2), below, wide);
  for (int y = h - 2; y >= 0; --y) {
    widenRow(sourceRow(y), w, current);
    meanRow(current, below, wide, outputRow(2 * y + 1));
    std::memcpy(outputRow(2 * y), current, wide);
    std::swap(current, below);
  }
}

Plane upsample2x(const Plane& source) {
  Plane out(source.width * 2, source.height * 2);
  if (source.width == 0 || source.height == 0) return out;
  // Each source row is widened just before the row between it and the one
  // above is made, while both are still in the cache.
  const std::size_t w = static_cast<std::size_t>(out.width);
  widenRow(source.row(0), source.width, out.row(0));
  for (int y = 0; y + 1 < source.height; ++y) {
    widenRow(source.row(y + 1), source.width, out.row(2 * y + 2));
    const uint8_t* above = out.row(2 * y);
    const uint8_t* below = out.row(2 * y + 2);
    meanRow(above, below, w, out.row(2 * y + 1));
  }
  const uint8_t* last = out.row(out.height - 2);
  uint8_t* copy = out.row(out.height - 1);
  for (std::size_t x = 0; x < w; ++x) copy[x] = last[x];
  return out;
}

}  // namespace quorbix::pcd
