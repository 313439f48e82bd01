// The font service: a font requested by face name, size in points and style.
// Fonts are created once per run by the job and shared read-only with the
// worker, which draws the text watermark with them.
#pragma once

#include <memory>
#include <string>

namespace quorbix::drawing {

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

// The font engine's description of a font; opaque outside the drawing code.
struct FontDescription;

class Font {
 public:
  // A font of `request` that is not looked up: the font system's default
  // face and size. For stand-ins; createFont gives the requested font.
  Font(const FontRequest& request, int pixelSize);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const FontDescription* description() const { return description_; }
  const FontRequest& request() const { return request_; }
  // Character height in pixels: |points| x 96 / 72, rounded, at most
  // kMaxFontPixels; 0 when the font system's default size is used.
  int pixelSize() const { return pixelSize_; }

 private:
  Font(FontDescription* description, const FontRequest& request, int pixelSize);
  friend std::shared_ptr<Font> createFont(const FontRequest& request);
  friend std::shared_ptr<Font> resizedFont(const Font& font, int pixelSize);

  FontDescription* description_;
  FontRequest request_;
  int pixelSize_;
};

// Returns no font only when no face at all can be had (fontconfig substitutes
// a similar face for an unknown name).
std::shared_ptr<Font> createFont(const FontRequest& request);

// The same face and style at `pixelSize` pixels, without the kMaxFontPixels
// cap: what lies beyond the engine's largest size.
std::shared_ptr<Font> resizedFont(const Font& font, int pixelSize);

}  // namespace quorbix::drawing
