// Checks the static MinGW cairo and pixman of scripts/build-windows-deps.sh:
// draws anti-aliased shapes on an ARGB32 image surface and prints a checksum
// of the pixels. The same source is built on Linux against the system's
// cairo; both editions draw shapes alike only if the two lines match.
#include <cairo.h>

#include <cstdint>
#include <cstdio>
#include <numbers>
#include <set>

namespace {

constexpr int kWidth = 97;
constexpr int kHeight = 61;

void draw(cairo_t* cr) {
  cairo_set_source_rgb(cr, 0.95, 0.9, 0.8);
  cairo_paint(cr);

  // A polygon with slanted edges at odd angles: every edge pixel is a
  // partial coverage that the rasteriser and pixman must agree on.
  cairo_move_to(cr, 7.3, 5.1);
  cairo_line_to(cr, 83.7, 11.9);
  cairo_line_to(cr, 61.2, 55.4);
  cairo_line_to(cr, 12.6, 43.25);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.1, 0.35, 0.8, 0.85);
  cairo_fill(cr);

  // A translucent ellipse composited over it, and a stroked curve.
  cairo_save(cr);
  cairo_translate(cr, 58.5, 30.5);
  cairo_scale(cr, 30.0, 17.0);
  cairo_arc(cr, 0.0, 0.0, 1.0, 0.0, 2.0 * std::numbers::pi);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 0.9, 0.2, 0.1, 0.6);
  cairo_fill(cr);

  cairo_move_to(cr, 3.0, 58.0);
  cairo_curve_to(cr, 30.0, 10.0, 60.0, 70.0, 94.0, 4.0);
  cairo_set_line_width(cr, 2.7);
  cairo_set_source_rgba(cr, 0.0, 0.5, 0.2, 0.75);
  cairo_stroke(cr);
}

}  // namespace

int main() {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);
  draw(cr);
  cairo_status_t status = cairo_status(cr);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  if (status != CAIRO_STATUS_SUCCESS || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    std::printf("cairo failed: %s\n", cairo_status_to_string(status));
    return 1;
  }

  // FNV-1a over the visible pixels, row by row (the stride may pad rows),
  // each pixel as the 32-bit value cairo stores.
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  std::uint64_t hash = 14695981039346656037ull;
  std::set<std::uint32_t> colours;
  for (int y = 0; y < kHeight; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    for (int x = 0; x < kWidth; ++x) {
      std::uint32_t pixel = row[x];
      for (int shift = 0; shift < 32; shift += 8) {
        hash = (hash ^ ((pixel >> shift) & 0xffu)) * 1099511628211ull;
      }
      colours.insert(pixel);
    }
  }
  cairo_surface_destroy(surface);
  // Without anti-aliasing the picture would hold a handful of colours: the
  // background, each shape and their overlaps.
  const bool smoothed = colours.size() > 32;
  std::printf("cairo %s, %dx%d ARGB32, %zu colours (%s), checksum %016llx\n", cairo_version_string(), kWidth,
              kHeight, colours.size(), smoothed ? "anti-aliased" : "NOT anti-aliased",
              static_cast<unsigned long long>(hash));
  return smoothed ? 0 : 1;
}
