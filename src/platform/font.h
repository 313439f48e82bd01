// The font service: a font requested by face name, size in points and style.
// Fonts are created once per run by the job and shared read-only with the
// worker, which draws the text watermark with them.
#pragma once

#include <memory>
#include <string>

typedef struct _PangoFontDescription PangoFontDescription;

namespace quorbix::platform {

struct FontRequest {
  std::string face;
  int points = 14;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeThrough = false;
};

// Larger characters are drawn at this height (in pixels): the largest the
// font engine can draw (FreeType keeps the pixels per em in 16 bits).
inline constexpr int kMaxFontPixels = 65535;

class Font {
 public:
  Font(PangoFontDescription* description, const FontRequest& request, int pixelSize);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const PangoFontDescription* description() const { return description_; }
  const FontRequest& request() const { return request_; }
  // Character height in pixels: |points| x 96 / 72, rounded, at most
  // kMaxFontPixels; 0 when the font system's default size is used.
  int pixelSize() const { return pixelSize_; }

 private:
  PangoFontDescription* description_;
  FontRequest request_;
  int pixelSize_;
};

// Returns no font only when no face at all can be had (fontconfig substitutes
// a similar face for an unknown name).
std::shared_ptr<Font> createFont(const FontRequest& request);

}  // namespace quorbix::platform
