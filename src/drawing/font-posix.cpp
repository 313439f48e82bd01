#include "drawing/font.h"

#include <fontconfig/fontconfig.h>
#include <pango/pango.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "image/library_messages.h"

namespace quorbix::drawing {
namespace {

// FontDescription is the opaque name of Pango's font description.
PangoFontDescription* toPango(const FontDescription* description) {
  return reinterpret_cast<PangoFontDescription*>(const_cast<FontDescription*>(description));
}

FontDescription* fromPango(PangoFontDescription* description) {
  return reinterpret_cast<FontDescription*>(description);
}

}  // namespace

Font::Font(FontDescription* description, const FontRequest& request, int pixelSize)
    : description_(description), request_(request), pixelSize_(pixelSize) {}

Font::Font(const FontRequest& request, int pixelSize)
    : Font(fromPango(pango_font_description_new()), request, pixelSize) {}

Font::~Font() { pango_font_description_free(toPango(description_)); }

namespace {

// Fontconfig prints its warnings (a damaged configuration file, a language
// in the locale settings that it does not know) on standard error itself,
// while it loads its configuration and settles the default languages. Both
// happen here, once, with that output caught.
void loadFontconfigQuietly() {
  static std::once_flag once;
  std::call_once(once, [] {
    runCatchingStandardError("fontconfig", [] {
      FcInit();
      FcStrSetDestroy(FcGetDefaultLangs());
    });
  });
}

// True when fontconfig can supply some face for `family`.
bool anyFaceFor(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  if (!family.empty()) {
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  bool found = false;
  if (match != nullptr) {
    FcChar8* file = nullptr;
    found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr;
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return found;
}

}  // namespace

std::shared_ptr<Font> createFont(const FontRequest& request) {
  loadFontconfigQuietly();
  if (!anyFaceFor(request.face)) return nullptr;
  PangoFontDescription* description = pango_font_description_new();
  if (description == nullptr) return nullptr;
  pango_font_description_set_family(description, request.face.c_str());
  pango_font_description_set_weight(description,
                                    request.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(description,
                                   request.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  // A negative size gives the height of its positive value; 0 keeps the
  // font system's default size.
  long long pixels = std::llabs(std::llround(request.points * 96.0 / 72.0));
  pixels = std::min<long long>(pixels, kMaxFontPixels);
  if (pixels > 0) pango_font_description_set_absolute_size(description, static_cast<double>(pixels * PANGO_SCALE));
  return std::shared_ptr<Font>(new Font(fromPango(description), request, static_cast<int>(pixels)));
}

std::shared_ptr<Font> resizedFont(const Font& font, int pixelSize) {
  PangoFontDescription* description = pango_font_description_copy(toPango(font.description()));
  if (description == nullptr) return nullptr;
  pango_font_description_set_absolute_size(description, static_cast<double>(pixelSize) * PANGO_SCALE);
  return std::shared_ptr<Font>(new Font(fromPango(description), font.request(), pixelSize));
}

}  // namespace quorbix::drawing
