// 2D drawing on RGBA canvases: anti-aliased shape fills, painting one canvas
// onto another with a constant opacity, text measuring and drawing in the
// watermark font, and the hand-over of a canvas to a 32-bit bitmap.
// A canvas belongs to one thread at a time; canvases are independent, so the
// worker may use them while the main thread does other things.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/bitmap.h"

namespace quorbix::drawing {

class Font;

// A straight (not premultiplied) colour with its alpha.
struct Color {
  uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct Point {
  double x = 0;
  double y = 0;
};

// Raster text: no smoothing, whole-pixel metrics, and the glyph pixels take
// the text colour and alpha as they are (nothing blended). Vector text:
// smooth edges, fractional metrics, blended source-over.
enum class TextQuality { Raster, Vector };

struct TextLine {
  std::string text;  // UTF-8; invalid sequences are drawn as replacement marks
  double x = 0;      // top-left corner of the line's layout box
  double y = 0;
};

// The layout box of one line of text: its advance width and line height.
struct TextSize {
  double width = 0;
  double height = 0;
};

// Neither side may exceed this many pixels (a limit of the drawing library).
inline constexpr int kMaxCanvasSide = 32767;

class Canvas {
 public:
  // A canvas of the given size, all pixels transparent black. Returns null
  // when a side is below 1 or above kMaxCanvasSide, or memory runs out.
  static std::unique_ptr<Canvas> create(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const { return width_; }
  int height() const { return height_; }

  // Makes this canvas a window onto a larger drawing: the drawing point
  // (x, y) lands on canvas pixel (x - left, y - top). Shapes and text use
  // it; fill() and paint() work on the canvas pixels directly.
  void setOrigin(int left, int top);

  // Shapes, filled anti-aliased and blended source-over.
  void fillRectangle(double x, double y, double width, double height, Color color);
  void fillPolygon(const std::vector<Point>& corners, Color color);

  // Every pixel replaced by `color`.
  void fill(Color color);
  // Source-over of a uniform `color` whose alpha is further scaled by
  // opacity / 255, and of another canvas of the same size at opacity / 255.
  void paint(Color color, int opacity);
  void paint(const Canvas& source, int opacity);

  // Draws the lines in `font`. False when the text system cannot be used or
  // cannot give the font at its size.
  bool drawText(const Font& font, const std::vector<TextLine>& lines, Color color,
                TextQuality quality);

  // The canvas as a new 32-bit bitmap with straight (not premultiplied)
  // colours, or an empty Bitmap when memory runs out.
  Bitmap toBitmap() const;

 private:
  struct Surface;  // the drawing library's surface and context
  Canvas(std::unique_ptr<Surface> surface, int width, int height);
  std::unique_ptr<Surface> surface_;
  int width_;
  int height_;
};

// Measures each text in `font` as drawText would lay it out. Raster sizes
// are whole pixels. Returns an empty list when the text system cannot be used
// or cannot give the font at its size.
std::vector<TextSize> measureText(const Font& font, const std::vector<std::string>& texts,
                                  TextQuality quality);

}  // namespace quorbix::drawing
