// Text on Linux: Pango lays the lines out and draws them through cairo, with
// the fonts fontconfig finds (font-posix.cpp).
#include "drawing/canvas.h"

#include <cairo.h>
#include <glib.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string_view>

#include "drawing/canvas_surface.h"
#include "drawing/font.h"

namespace quorbix::drawing {
namespace {

// The font's Pango description behind its opaque name (drawing/font-posix.cpp).
const PangoFontDescription* pangoDescription(const Font& font) {
  return reinterpret_cast<const PangoFontDescription*>(font.description());
}

// Beyond any canvas plus the largest character, within cairo's coordinates.
constexpr double kFarAway = 4.0 * kMaxFontPixels;

// Pango wants valid UTF-8 without NUL characters.
std::string cleanText(std::string_view text) {
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result = valid != nullptr ? valid : "";
  g_free(valid);
  std::replace(result.begin(), result.end(), '\0', ' ');
  return result;
}

// One Pango layout set up for `font` and `quality`, on the context of `cr`.
class Layout {
 public:
  Layout(cairo_t* cr, const Font& font, TextQuality quality) {
    cairo_font_options_t* options = cairo_font_options_create();
    bool raster = quality == TextQuality::Raster;
    cairo_font_options_set_antialias(options, raster ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options,
                                        raster ? CAIRO_HINT_METRICS_ON : CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);

    context_ = pango_cairo_create_context(cr);
    if (context_ == nullptr) return;
    layout_ = pango_layout_new(context_);
    if (layout_ == nullptr) return;
    pango_layout_set_font_description(layout_, pangoDescription(font));
    fontUsable_ = canDraw(font);
    // A line is one line, whatever characters it holds.
    pango_layout_set_single_paragraph_mode(layout_, TRUE);
    const FontRequest& request = font.request();
    if (request.underline || request.strikeThrough) {
      PangoAttrList* attributes = pango_attr_list_new();
      if (request.underline) pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
      if (request.strikeThrough) pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
      pango_layout_set_attributes(layout_, attributes);
      pango_attr_list_unref(attributes);
    }
  }
  ~Layout() {
    if (layout_ != nullptr) g_object_unref(layout_);
    if (context_ != nullptr) g_object_unref(context_);
  }
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;

  PangoLayout* get() const { return layout_; }
  // False when the font engine cannot give the font at its size; the text
  // would then be laid out and drawn with empty boxes for every character.
  bool fontUsable() const { return fontUsable_; }

  void setText(std::string_view text) {
    std::string clean = cleanText(text);
    pango_layout_set_text(layout_, clean.data(), static_cast<int>(clean.size()));
  }

 private:
  bool canDraw(const Font& font) const {
    PangoFont* loaded = pango_context_load_font(context_, pangoDescription(font));
    if (loaded == nullptr) return false;
    bool usable = false;
    if (PANGO_IS_CAIRO_FONT(loaded)) {
      cairo_scaled_font_t* scaled = pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(loaded));
      usable = scaled != nullptr && cairo_scaled_font_status(scaled) == CAIRO_STATUS_SUCCESS;
    }
    g_object_unref(loaded);
    return usable;
  }

  PangoContext* context_ = nullptr;
  PangoLayout* layout_ = nullptr;
  bool fontUsable_ = false;
};

}  // namespace

bool Canvas::drawText(const Font& font, const std::vector<TextLine>& lines, Color color,
                      TextQuality quality) {
  cairo_save(surface_->cr);
  Layout layout(surface_->cr, font, quality);
  if (layout.get() == nullptr || !layout.fontUsable()) {
    cairo_restore(surface_->cr);
    return false;
  }
  bool raster = quality == TextQuality::Raster;
  // SOURCE with unsmoothed glyphs: covered pixels take colour and alpha as
  // they are, the others keep theirs.
  cairo_set_operator(surface_->cr, raster ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
  cairo_set_antialias(surface_->cr, raster ? CAIRO_ANTIALIAS_NONE : CAIRO_ANTIALIAS_GRAY);
  setSource(surface_->cr, color);
  for (const TextLine& line : lines) {
    // Far-off lines cannot reach the canvas, and cairo's fixed-point
    // coordinates would wrap for them.
    if (std::abs(line.x) > kFarAway || std::abs(line.y) > kFarAway) continue;
    layout.setText(line.text);
    cairo_move_to(surface_->cr, line.x, line.y);
    pango_cairo_show_layout(surface_->cr, layout.get());
  }
  cairo_restore(surface_->cr);
  return cairo_status(surface_->cr) == CAIRO_STATUS_SUCCESS;
}

std::vector<TextSize> measureText(const Font& font, const std::vector<std::string>& texts,
                                  TextQuality quality) {
  std::vector<TextSize> sizes;
  // Measured on a small scratch canvas with the same font options as drawing.
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
  cairo_t* cr = cairo_create(surface);
  if (cairo_status(cr) == CAIRO_STATUS_SUCCESS) {
    Layout layout(cr, font, quality);
    if (layout.get() != nullptr && layout.fontUsable()) {
      sizes.reserve(texts.size());
      for (const std::string& text : texts) {
        layout.setText(text);
        TextSize size;
        if (quality == TextQuality::Raster) {
          int width = 0, height = 0;
          pango_layout_get_pixel_size(layout.get(), &width, &height);
          size = {static_cast<double>(width), static_cast<double>(height)};
        } else {
          int width = 0, height = 0;
          pango_layout_get_size(layout.get(), &width, &height);
          size = {static_cast<double>(width) / PANGO_SCALE, static_cast<double>(height) / PANGO_SCALE};
        }
        sizes.push_back(size);
      }
    }
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return sizes;
}

}  // namespace quorbix::drawing
