#include "ops/text_watermark.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "drawing/canvas.h"
#include "drawing/font.h"
#include "ops/color.h"
#include "ops/watermark_text_layout.h"

namespace quorbix {
namespace {

using drawing::Canvas;
using drawing::TextLine;
using drawing::TextQuality;

drawing::Color toColor(Rgba c) { return {c.r, c.g, c.b, c.a}; }

int clampOpacity(int opacity) { return std::clamp(opacity, 0, 255); }

std::vector<TextLine> placeLines(const std::vector<std::string>& lines,
                                 const std::vector<drawing::TextSize>& sizes,
                                 const TextBlockLayout& block, const TextWatermarkOptions& s) {
  std::vector<TextLine> placed;
  placed.reserve(lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    long long x = alignLine(std::llround(sizes[i].width), block, s.wmTextAlignment, s.wmTextPadding);
    placed.push_back({lines[i], static_cast<double>(x),
                      static_cast<double>(lineTop(i, block, s.wmTextPadding))});
  }
  return placed;
}

// Box colour written everywhere, then the glyphs' colour and alpha written
// over it as they are.
RenderedText renderRaster(const drawing::Font& font, const std::vector<TextLine>& lines, int width,
                          int height, const TextWatermarkOptions& s) {
  auto block = Canvas::create(width, height);
  if (block == nullptr) return {};
  block->fill(toColor(parseColor(s.wmBackColor, static_cast<uint8_t>(clampOpacity(s.wmBackOpacity)))));
  if (!block->drawText(font, lines, toColor(parseColor(s.wmFontColor, static_cast<uint8_t>(clampOpacity(s.wmTextOpacity)))),
                       TextQuality::Raster)) {
    return {Bitmap(), true};
  }
  return {block->toBitmap()};
}

// Opaque box and opaque smooth text, each layered on with its own opacity.
RenderedText renderVector(const drawing::Font& font, const std::vector<TextLine>& lines, int width,
                          int height, const TextWatermarkOptions& s) {
  auto text = Canvas::create(width, height);
  auto block = Canvas::create(width, height);
  if (text == nullptr || block == nullptr) return {};
  if (!text->drawText(font, lines, toColor(parseColor(s.wmFontColor, 255)), TextQuality::Vector)) {
    return {Bitmap(), true};
  }
  block->paint(toColor(parseColor(s.wmBackColor, 255)), clampOpacity(s.wmBackOpacity));
  block->paint(*text, clampOpacity(s.wmTextOpacity));
  return {block->toBitmap()};
}

}  // namespace

RenderedText renderTextWatermark(const TextWatermarkOptions& s, const std::string& text,
                                 const drawing::Font* font, const Extent& limit) {
  if (font == nullptr) return {};

  const std::vector<std::string> lines = splitWatermarkLines(text);
  const std::vector<drawing::TextSize> rasterSizes = drawing::measureText(*font, lines, TextQuality::Raster);
  if (rasterSizes.size() != lines.size()) return {Bitmap(), true};
  const TextBlockLayout block = layoutTextBlock(rasterSizes, s.wmFontLeading, s.wmTextPadding);
  if (block.width < 1 || block.height < 1) return {};
  if (block.width > drawing::kMaxCanvasSide || block.height > drawing::kMaxCanvasSide) return {};
  if (rotatesWatermark(s.wmTextRotation) && block.width * block.height > kMaxRotatedBlockPixels) {
    return {};
  }

  // Only the part that can survive the crop is drawn; drawing the rest and
  // cutting it off later gives the same pixels.
  const long long width = std::min(block.width, limit.width);
  const long long height = std::min(block.height, limit.height);
  if (width < 1 || height < 1) return {};

  if (!s.wmTextAntialiasing) {
    return renderRaster(*font, placeLines(lines, rasterSizes, block, s), static_cast<int>(width),
                        static_cast<int>(height), s);
  }
  const std::vector<drawing::TextSize> vectorSizes = drawing::measureText(*font, lines, TextQuality::Vector);
  if (vectorSizes.size() != lines.size()) return {Bitmap(), true};
  return renderVector(*font, placeLines(lines, vectorSizes, block, s), static_cast<int>(width),
                      static_cast<int>(height), s);
}

}  // namespace quorbix
