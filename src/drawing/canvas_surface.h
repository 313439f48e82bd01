// The cairo surface behind a Canvas, shared by the canvas code and the text
// code of each system. Only the drawing sources include this.
#pragma once

#include <cairo.h>

#include "drawing/canvas.h"

namespace quorbix::drawing {

struct Canvas::Surface {
  Surface(cairo_surface_t* s, cairo_t* c) : surface(s), cr(c) {}
  ~Surface() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  cairo_surface_t* surface;
  cairo_t* cr;
};

// Sets `color` as the source, its alpha further scaled by `opacity`.
inline void setSource(cairo_t* cr, Color color, double opacity = 1.0) {
  cairo_set_source_rgba(cr, color.r / 255.0, color.g / 255.0, color.b / 255.0,
                        color.a / 255.0 * opacity);
}

}  // namespace quorbix::drawing
