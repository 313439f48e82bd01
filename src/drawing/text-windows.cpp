// Text on Windows: GDI measures each line and renders it, white on black,
// into a DIB section; that coverage becomes an alpha mask through which
// cairo lays the text colour onto the canvas. Raster text is rendered
// without smoothing and written through the mask as it is (every covered
// pixel takes colour and alpha); vector text is smoothed and blended.
#include "drawing/canvas.h"

#include <windows.h>

#include <cairo.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/canvas_surface.h"
#include "drawing/font.h"
#include "drawing/font_description-windows.h"
#include "platform/wide_text-windows.h"

namespace quorbix::drawing {
namespace {

// Beyond any canvas plus the largest character.
constexpr double kFarAway = 4.0 * kMaxFontPixels;

// Vector metrics come from the font at this character height at least,
// where the advances are as designed (hinting no longer rounds them), and
// are scaled down to the font's size.
constexpr int kMetricsHeight = 2048;

// A line's mask is rendered in bands of at most this many pixels.
constexpr long long kMaxBandPixels = 1LL << 22;

// The text as GDI takes it: UTF-16, invalid UTF-8 as U+FFFD, NUL as a space.
std::wstring lineText(std::string_view text) {
  std::wstring wide = platform::wideText(text);
  std::replace(wide.begin(), wide.end(), L'\0', L' ');
  return wide;
}

int textLength(const std::wstring& text) {
  return static_cast<int>((std::min<size_t>)(text.size(), INT_MAX));
}

// A memory device context with the font selected: at its own size (height
// 0) or at `height` pixels of character height.
class GdiText {
 public:
  GdiText(const Font& font, TextQuality quality, int height = 0) {
    if (font.pixelSize() > kMaxFontPixels || font.description() == nullptr) return;
    dc_ = ::CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) return;
    LOGFONTW logFont = font.description()->logFont;
    logFont.lfQuality = quality == TextQuality::Raster ? NONANTIALIASED_QUALITY : ANTIALIASED_QUALITY;
    if (height > 0) logFont.lfHeight = -height;
    font_ = ::CreateFontIndirectW(&logFont);
    if (font_ == nullptr) return;
    previousFont_ = ::SelectObject(dc_, font_);
    ::SetMapMode(dc_, MM_TEXT);
    ::SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    ::SetBkMode(dc_, TRANSPARENT);
    ::SetTextColor(dc_, RGB(255, 255, 255));
    usable_ = previousFont_ != nullptr && ::GetTextMetricsW(dc_, &metrics_) != 0;
  }
  ~GdiText() {
    if (previousFont_ != nullptr) ::SelectObject(dc_, previousFont_);
    if (font_ != nullptr) ::DeleteObject(font_);
    if (dc_ != nullptr) ::DeleteDC(dc_);
  }
  GdiText(const GdiText&) = delete;
  GdiText& operator=(const GdiText&) = delete;

  bool usable() const { return usable_; }
  HDC dc() const { return dc_; }
  const TEXTMETRICW& metrics() const { return metrics_; }

  // The advance width of `text` in whole pixels.
  long long width(const std::wstring& text) const {
    SIZE size{};
    if (text.empty() || ::GetTextExtentPoint32W(dc_, text.data(), textLength(text), &size) == 0) return 0;
    return size.cx;
  }

  // The advance from the line start to the end of each character.
  std::vector<int> ends(const std::wstring& text) const {
    std::vector<int> ends(static_cast<size_t>(textLength(text)), 0);
    SIZE size{};
    if (!ends.empty() &&
        ::GetTextExtentExPointW(dc_, text.data(), textLength(text), 0, nullptr, ends.data(), &size) == 0) {
      std::fill(ends.begin(), ends.end(), 0);
    }
    return ends;
  }

 private:
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  TEXTMETRICW metrics_{};
  bool usable_ = false;
};

// Vector metrics: the font measured at kMetricsHeight (or its own height
// when larger) and scaled to its own character height.
class VectorMetrics {
 public:
  VectorMetrics(const Font& font, const GdiText& natural) {
    const TEXTMETRICW& m = natural.metrics();
    const int em = font.pixelSize() > 0 ? font.pixelSize() : m.tmHeight - m.tmInternalLeading;
    if (em <= 0) return;
    const int height = (std::max)(em, kMetricsHeight);
    large_ = std::make_unique<GdiText>(font, TextQuality::Vector, height);
    scale_ = static_cast<double>(em) / height;
  }

  bool usable() const { return large_ != nullptr && large_->usable(); }

  TextSize size(const std::wstring& text) const {
    const std::vector<int> ends = large_->ends(text);
    return {ends.empty() ? 0.0 : ends.back() * scale_, large_->metrics().tmHeight * scale_};
  }

  // Whole-pixel steps from character to character that put each one where
  // the fractional layout has it, rounded.
  std::vector<int> steps(const std::wstring& text) const {
    std::vector<int> steps = large_->ends(text);
    long long previous = 0;
    for (int& step : steps) {
      const long long end = std::llround(step * scale_);
      step = static_cast<int>(end - previous);
      previous = end;
    }
    return steps;
  }

 private:
  std::unique_ptr<GdiText> large_;
  double scale_ = 1.0;
};

// A top-down 32-bit DIB section selected into a device context, for one
// band of a line's mask.
class MaskBitmap {
 public:
  MaskBitmap(HDC dc, int width, int height) : dc_(dc), width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (bitmap_ == nullptr || bits_ == nullptr) return;
    previous_ = ::SelectObject(dc, bitmap_);
    if (previous_ == nullptr) return;
    std::memset(bits_, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    usable_ = true;
  }
  ~MaskBitmap() {
    if (previous_ != nullptr) ::SelectObject(dc_, previous_);
    if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
  }
  MaskBitmap(const MaskBitmap&) = delete;
  MaskBitmap& operator=(const MaskBitmap&) = delete;

  bool usable() const { return usable_; }

  // The rendered coverage as a cairo alpha mask; for raster text every
  // pixel is either covered or not. Null when memory runs out.
  cairo_surface_t* coverage(bool raster) const {
    ::GdiFlush();
    cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, width_, height_);
    if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
      cairo_surface_destroy(mask);
      return nullptr;
    }
    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask);
    const auto* pixels = static_cast<const uint8_t*>(bits_);
    for (int y = 0; y < height_; ++y) {
      const uint8_t* source = pixels + static_cast<size_t>(y) * static_cast<size_t>(width_) * 4;
      unsigned char* target = data + static_cast<size_t>(y) * static_cast<size_t>(stride);
      for (int x = 0; x < width_; ++x, source += 4) {
        const uint8_t level = (std::max)({source[0], source[1], source[2]});
        target[x] = raster ? (level >= 128 ? 255 : 0) : level;
      }
    }
    cairo_surface_mark_dirty(mask);
    return mask;
  }

 private:
  HDC dc_;
  int width_;
  int height_;
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  bool usable_ = false;
};

struct Box {
  long long left, top, right, bottom;
  bool empty() const { return right <= left || bottom <= top; }
};

// cairo built statically for Windows sets up its locks on first use, and
// that setup is not safe against two threads at once; the worker draws
// while the main thread may measure. One surface made while the program
// starts (a single thread) sets them up before any canvas exists.
[[maybe_unused]] const bool cairoLocksReady = [] {
  cairo_surface_destroy(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  return true;
}();

}  // namespace

bool Canvas::drawText(const Font& font, const std::vector<TextLine>& lines, Color color,
                      TextQuality quality) {
  const bool raster = quality == TextQuality::Raster;
  GdiText text(font, quality);
  if (!text.usable()) return false;
  std::unique_ptr<VectorMetrics> vector;
  if (!raster) {
    vector = std::make_unique<VectorMetrics>(font, text);
    if (!vector->usable()) return false;
  }
  // Where drawing point (0, 0) lies on the canvas (setOrigin).
  cairo_matrix_t matrix;
  cairo_get_matrix(surface_->cr, &matrix);

  const TEXTMETRICW& metrics = text.metrics();
  // Room around the advance box for ink outside it: slanted and overhanging
  // glyphs, accents above and tails below the cell.
  const long long slackX = static_cast<long long>(metrics.tmMaxCharWidth) + metrics.tmOverhang + 2;
  const long long slackY = metrics.tmHeight / 2 + 2;

  bool drawn = true;
  for (const TextLine& line : lines) {
    if (std::abs(line.x) > kFarAway || std::abs(line.y) > kFarAway) continue;
    const std::wstring wide = lineText(line.text);
    if (wide.empty()) continue;
    std::vector<int> steps;
    long long width = 0;
    if (raster) {
      width = text.width(wide);
    } else {
      steps = vector->steps(wide);
      for (int step : steps) width += step;
    }
    const long long x = std::llround(line.x + matrix.x0);
    const long long y = std::llround(line.y + matrix.y0);
    // Only the part of the line that falls on the canvas is rendered.
    const Box box{(std::max)(0LL, x - slackX), (std::max)(0LL, y - slackY),
                  (std::min<long long>)(width_, x + (std::max)(width, 0LL) + slackX),
                  (std::min<long long>)(height_, y + metrics.tmHeight + slackY)};
    if (box.empty()) continue;
    const long long boxWidth = box.right - box.left;
    const long long bandRows = (std::max)(1LL, kMaxBandPixels / boxWidth);
    for (long long top = box.top; top < box.bottom; top += bandRows) {
      const long long rows = (std::min)(bandRows, box.bottom - top);
      MaskBitmap mask(text.dc(), static_cast<int>(boxWidth), static_cast<int>(rows));
      if (!mask.usable()) return false;
      if (::ExtTextOutW(text.dc(), static_cast<int>(x - box.left), static_cast<int>(y - top), 0, nullptr,
                        wide.data(), textLength(wide), raster ? nullptr : steps.data()) == 0) {
        drawn = false;
        continue;
      }
      cairo_surface_t* coverage = mask.coverage(raster);
      if (coverage == nullptr) return false;
      cairo_save(surface_->cr);
      cairo_identity_matrix(surface_->cr);
      // SOURCE through an all-or-nothing mask: covered pixels take colour
      // and alpha as they are, the others keep theirs.
      cairo_set_operator(surface_->cr, raster ? CAIRO_OPERATOR_SOURCE : CAIRO_OPERATOR_OVER);
      setSource(surface_->cr, color);
      cairo_mask_surface(surface_->cr, coverage, static_cast<double>(box.left), static_cast<double>(top));
      cairo_restore(surface_->cr);
      cairo_surface_destroy(coverage);
    }
  }
  return drawn && cairo_status(surface_->cr) == CAIRO_STATUS_SUCCESS;
}

std::vector<TextSize> measureText(const Font& font, const std::vector<std::string>& texts,
                                  TextQuality quality) {
  std::vector<TextSize> sizes;
  GdiText text(font, quality);
  if (!text.usable()) return sizes;
  if (quality == TextQuality::Raster) {
    sizes.reserve(texts.size());
    for (const std::string& line : texts) {
      sizes.push_back({static_cast<double>(text.width(lineText(line))),
                       static_cast<double>(text.metrics().tmHeight)});
    }
    return sizes;
  }
  VectorMetrics vector(font, text);
  if (!vector.usable()) return sizes;
  sizes.reserve(texts.size());
  for (const std::string& line : texts) sizes.push_back(vector.size(lineText(line)));
  return sizes;
}

}  // namespace quorbix::drawing
