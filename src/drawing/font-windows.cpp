// Fonts on Windows: a GDI logical font by face name, found by the Windows
// font mapper (which substitutes a face for an unknown name).
#include "drawing/font.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

#include "drawing/font_description-windows.h"
#include "platform/wide_text-windows.h"

namespace quorbix::drawing {
namespace {

// The font mapper's default face at its default height.
LOGFONTW defaultLogFont() {
  LOGFONTW font{};
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  return font;
}

LOGFONTW logFontFor(const FontRequest& request, int pixels) {
  LOGFONTW font = defaultLogFont();
  // Negative: the character height, without the internal leading.
  font.lfHeight = -pixels;
  font.lfWeight = request.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = request.italic ? TRUE : FALSE;
  font.lfUnderline = request.underline ? TRUE : FALSE;
  font.lfStrikeOut = request.strikeThrough ? TRUE : FALSE;
  // A longer name is cut to what the structure holds.
  std::wstring face = platform::wideText(request.face);
  face.resize((std::min<size_t>)(face.size(), LF_FACESIZE - 1));
  std::copy(face.begin(), face.end(), font.lfFaceName);
  return font;
}

// False when GDI gives no font at all for `font`.
bool gdiGivesFont(const LOGFONTW& font) {
  HFONT handle = ::CreateFontIndirectW(&font);
  if (handle == nullptr) return false;
  ::DeleteObject(handle);
  return true;
}

}  // namespace

Font::Font(FontDescription* description, const FontRequest& request, int pixelSize)
    : description_(description), request_(request), pixelSize_(pixelSize) {}

Font::Font(const FontRequest& request, int pixelSize)
    : Font(new FontDescription{defaultLogFont()}, request, pixelSize) {}

Font::~Font() { delete description_; }

std::shared_ptr<Font> createFont(const FontRequest& request) {
  // A negative size gives the height of its positive value; 0 leaves the
  // height to the font mapper.
  long long pixels = std::llabs(std::llround(request.points * 96.0 / 72.0));
  pixels = (std::min<long long>)(pixels, kMaxFontPixels);
  LOGFONTW font = logFontFor(request, static_cast<int>(pixels));
  if (!gdiGivesFont(font)) return nullptr;
  return std::shared_ptr<Font>(new Font(new FontDescription{font}, request, static_cast<int>(pixels)));
}

std::shared_ptr<Font> resizedFont(const Font& font, int pixelSize) {
  LOGFONTW resized = font.description()->logFont;
  resized.lfHeight = -std::clamp(pixelSize, 0, INT_MAX);
  return std::shared_ptr<Font>(new Font(new FontDescription{resized}, font.request(), pixelSize));
}

}  // namespace quorbix::drawing
