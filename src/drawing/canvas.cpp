// The canvas itself, the same on every system: cairo image surfaces, shape
// fills, painting and the hand-over to a bitmap. Text is per system
// (text-posix.cpp, text-windows.cpp).
#include "drawing/canvas.h"

#include <cairo.h>

#include <algorithm>
#include <utility>

#include "drawing/canvas_surface.h"
#include "image/transforms.h"

namespace quorbix::drawing {
namespace {

double opacityFraction(int opacity) { return std::clamp(opacity, 0, 255) / 255.0; }

}  // namespace

Canvas::Canvas(std::unique_ptr<Surface> surface, int width, int height)
    : surface_(std::move(surface)), width_(width), height_(height) {}

Canvas::~Canvas() = default;

std::unique_ptr<Canvas> Canvas::create(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxCanvasSide || height > kMaxCanvasSide) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_t* cr = cairo_create(surface);
  if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return std::unique_ptr<Canvas>(new Canvas(std::make_unique<Surface>(surface, cr), width, height));
}

void Canvas::setOrigin(int left, int top) {
  cairo_identity_matrix(surface_->cr);
  cairo_translate(surface_->cr, -static_cast<double>(left), -static_cast<double>(top));
}

void Canvas::fillRectangle(double x, double y, double width, double height, Color color) {
  if (width <= 0 || height <= 0) return;
  cairo_set_operator(surface_->cr, CAIRO_OPERATOR_OVER);
  cairo_set_antialias(surface_->cr, CAIRO_ANTIALIAS_DEFAULT);
  setSource(surface_->cr, color);
  cairo_rectangle(surface_->cr, x, y, width, height);
  cairo_fill(surface_->cr);
}

void Canvas::fillPolygon(const std::vector<Point>& corners, Color color) {
  if (corners.size() < 3) return;
  cairo_set_operator(surface_->cr, CAIRO_OPERATOR_OVER);
  cairo_set_antialias(surface_->cr, CAIRO_ANTIALIAS_DEFAULT);
  cairo_set_fill_rule(surface_->cr, CAIRO_FILL_RULE_WINDING);
  setSource(surface_->cr, color);
  cairo_move_to(surface_->cr, corners[0].x, corners[0].y);
  for (size_t i = 1; i < corners.size(); ++i) cairo_line_to(surface_->cr, corners[i].x, corners[i].y);
  cairo_close_path(surface_->cr);
  cairo_fill(surface_->cr);
}

void Canvas::fill(Color color) {
  cairo_save(surface_->cr);
  cairo_set_operator(surface_->cr, CAIRO_OPERATOR_SOURCE);
  setSource(surface_->cr, color);
  cairo_paint(surface_->cr);
  cairo_restore(surface_->cr);
}

void Canvas::paint(Color color, int opacity) {
  cairo_save(surface_->cr);
  cairo_set_operator(surface_->cr, CAIRO_OPERATOR_OVER);
  setSource(surface_->cr, color);
  cairo_paint_with_alpha(surface_->cr, opacityFraction(opacity));
  cairo_restore(surface_->cr);
}

void Canvas::paint(const Canvas& source, int opacity) {
  cairo_surface_flush(source.surface_->surface);
  cairo_save(surface_->cr);
  cairo_identity_matrix(surface_->cr);
  cairo_set_operator(surface_->cr, CAIRO_OPERATOR_OVER);
  cairo_set_source_surface(surface_->cr, source.surface_->surface, 0, 0);
  cairo_paint_with_alpha(surface_->cr, opacityFraction(opacity));
  cairo_restore(surface_->cr);
}

Bitmap Canvas::toBitmap() const {
  cairo_surface_flush(surface_->surface);
  Bitmap bitmap = allocateRgba(width_, height_);
  if (!bitmap) return bitmap;
  const unsigned char* data = cairo_image_surface_get_data(surface_->surface);
  int stride = cairo_image_surface_get_stride(surface_->surface);
  for (int y = 0; y < height_; ++y) {
    // Cairo rows run top-down, bitmap scan lines bottom-up.
    const auto* source = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    uint8_t* target = bitmap.scanLine(static_cast<unsigned>(height_ - 1 - y));
    for (int x = 0; x < width_; ++x, target += 4) {
      uint32_t pixel = source[x];
      uint32_t alpha = pixel >> 24;
      if (alpha == 0) {
        target[kRedByte] = target[kGreenByte] = target[kBlueByte] = target[kAlphaByte] = 0;
        continue;
      }
      // Premultiplied to straight colour, rounded as cairo's own PNG writer does.
      auto straight = [alpha](uint32_t c) { return static_cast<uint8_t>((c * 255 + alpha / 2) / alpha); };
      target[kRedByte] = straight((pixel >> 16) & 0xFF);
      target[kGreenByte] = straight((pixel >> 8) & 0xFF);
      target[kBlueByte] = straight(pixel & 0xFF);
      target[kAlphaByte] = static_cast<uint8_t>(alpha);
    }
  }
  return bitmap;
}

}  // namespace quorbix::drawing
