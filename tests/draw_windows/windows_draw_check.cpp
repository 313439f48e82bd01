// Checks of the Windows text drawing (src/drawing/*-windows.cpp), run under
// Wine as the CTest test windows_draw_check of the Windows build; a failed
// check prints its line and the program exits 1. Prints the face GDI gives
// for each face asked for.
#include <windows.h>

#include <FreeImage.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "drawing/canvas.h"
#include "drawing/font.h"
#include "drawing/font_description-windows.h"
#include "platform/wide_text-windows.h"

using namespace quorbix;
using namespace quorbix::drawing;

namespace {

int failures = 0;

#define CHECK(condition)                                                                      \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "FAILED line %d (%s): %s\n", __LINE__, currentFace, #condition); \
      ++failures;                                                                             \
    }                                                                                         \
  } while (false)

const char* currentFace = "";

struct Pixel {
  uint8_t r, g, b, a;
  bool operator==(const Pixel&) const = default;
};

Pixel pixelAt(const Bitmap& bitmap, int x, int y) {
  const uint8_t* p = bitmap.scanLine(bitmap.height() - 1 - static_cast<unsigned>(y)) + x * 4;
  return {p[kRedByte], p[kGreenByte], p[kBlueByte], p[kAlphaByte]};
}

struct Ink {
  int count = 0, partial = 0, left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool otherColour = false;  // a covered pixel of another colour than the text's
};

// The pixels with any alpha, on a canvas that started transparent.
Ink inkOf(const Bitmap& bitmap, Pixel colour, bool straightColour) {
  Ink ink;
  for (int y = 0; y < static_cast<int>(bitmap.height()); ++y) {
    for (int x = 0; x < static_cast<int>(bitmap.width()); ++x) {
      const Pixel p = pixelAt(bitmap, x, y);
      if (p.a == 0) continue;
      ++ink.count;
      if (p.a != colour.a) ++ink.partial;
      // Straight colours of smoothed pixels are rounded from premultiplied ones.
      auto close = [](uint8_t a, uint8_t b) { return std::abs(a - b) <= 2; };
      if (straightColour ? !(p == colour) : !(close(p.r, colour.r) && close(p.g, colour.g) && close(p.b, colour.b))) {
        ink.otherColour = true;
      }
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  }
  return ink;
}

std::shared_ptr<Font> font(const std::string& face, int points, bool underline = false) {
  FontRequest request;
  request.face = face;
  request.points = points;
  request.underline = underline;
  return createFont(request);
}

// The face GDI gives for a font, and whether a family of that name is installed.
std::string gdiFace(const Font& f) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HFONT handle = ::CreateFontIndirectW(&f.description()->logFont);
  HGDIOBJ old = ::SelectObject(dc, handle);
  wchar_t name[LF_FACESIZE] = {};
  const int length = ::GetTextFaceW(dc, LF_FACESIZE, name);
  ::SelectObject(dc, old);
  ::DeleteObject(handle);
  ::DeleteDC(dc);
  return platform::narrowText(std::wstring_view(name, length > 0 ? static_cast<size_t>(length - 1) : 0));
}

int CALLBACK countFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  ++*reinterpret_cast<int*>(found);
  return 1;
}

bool familyInstalled(const std::string& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  const std::wstring wide = platform::wideText(face);
  wide.copy(query.lfFaceName, LF_FACESIZE - 1);
  HDC dc = ::CreateCompatibleDC(nullptr);
  int found = 0;
  ::EnumFontFamiliesExW(dc, &query, countFamily, reinterpret_cast<LPARAM>(&found), 0);
  ::DeleteDC(dc);
  return found > 0;
}

void checkFace(const std::string& face) {
  currentFace = face.c_str();
  auto f = font(face, 20);  // 27 pixels
  CHECK(f != nullptr);
  if (!f) return;
  std::printf("face \"%s\": GDI gives \"%s\", family installed: %s\n", face.c_str(), gdiFace(*f).c_str(),
              familyInstalled(face) ? "yes" : "no");

  // Measuring: raster sizes in whole pixels, vector ones fractional and close.
  const std::vector<std::string> texts = {"Hamburg", "I", "IWIWI", "", "Ham burg 1234567", "\xC3\xA4\xC3\xB6\xC3\xBC \xE2\x82\xAC"};
  const auto raster = measureText(*f, texts, TextQuality::Raster);
  const auto vector = measureText(*f, texts, TextQuality::Vector);
  CHECK(raster.size() == texts.size() && vector.size() == texts.size());
  if (raster.size() != texts.size() || vector.size() != texts.size()) return;
  bool fractional = false;
  for (size_t i = 0; i < texts.size(); ++i) {
    std::printf("  \"%s\": raster %gx%g, vector %.3fx%.3f\n", texts[i].c_str(), raster[i].width, raster[i].height,
                vector[i].width, vector[i].height);
    CHECK(raster[i].width == std::floor(raster[i].width) && raster[i].height == std::floor(raster[i].height));
    CHECK(raster[i].height >= 27 && raster[i].height <= 40);
    CHECK(std::abs(vector[i].width - raster[i].width) <= 0.1 * raster[i].width + 1);
    CHECK(std::abs(vector[i].height - raster[i].height) <= 2);
    if (vector[i].width != std::floor(vector[i].width)) fractional = true;
  }
  CHECK(fractional);
  CHECK(raster[1].width > 0 && raster[2].width > 3 * raster[1].width);
  CHECK(raster[3].width == 0);
  // Invalid UTF-8 is measured as replacement marks, a NUL as a space.
  const auto odd = measureText(*f, {"a\xff" "b", "a\xEF\xBF\xBD" "b", std::string("a\0b", 3), "a b"},
                               TextQuality::Raster);
  CHECK(odd.size() == 4 && odd[0].width == odd[1].width && odd[2].width == odd[3].width);

  // Raster: the glyph pixels carry the colour and alpha as they are, within
  // the measured box; nothing else is touched.
  const int w = static_cast<int>(raster[0].width), h = static_cast<int>(raster[0].height);
  for (uint8_t alpha : {uint8_t(255), uint8_t(200)}) {
    auto canvas = Canvas::create(w + 20, h + 20);
    const Color colour{255, 0, 255, alpha};
    CHECK(canvas && canvas->drawText(*f, {{"Hamburg", 10, 10}}, colour, TextQuality::Raster));
    if (!canvas) return;
    const Ink ink = inkOf(canvas->toBitmap(), {255, 0, 255, alpha}, true);
    CHECK(ink.count > 100 && ink.partial == 0 && !ink.otherColour);
    CHECK(ink.left >= 10 && ink.right < 10 + w + 2 && ink.top >= 10 && ink.bottom < 10 + h);
  }
  // Raster over a box colour: the box stays where no glyph is.
  {
    auto canvas = Canvas::create(w + 20, h + 20);
    canvas->fill({0, 0, 0, 1});
    CHECK(canvas->drawText(*f, {{"Hamburg", 10, 10}}, {255, 255, 255, 255}, TextQuality::Raster));
    const Bitmap b = canvas->toBitmap();
    int box = 0, glyph = 0, other = 0;
    for (int y = 0; y < int(b.height()); ++y) {
      for (int x = 0; x < int(b.width()); ++x) {
        const Pixel p = pixelAt(b, x, y);
        (p == Pixel{255, 255, 255, 255} ? glyph : p == Pixel{0, 0, 0, 1} ? box : other)++;
      }
    }
    CHECK(glyph > 100 && box > glyph && other == 0);
  }

  // Vector: smoothed edges, blended in the colour.
  {
    auto canvas = Canvas::create(w + 20, h + 20);
    CHECK(canvas->drawText(*f, {{"Hamburg", 10, 10}}, {0, 0, 255, 255}, TextQuality::Vector));
    const Ink ink = inkOf(canvas->toBitmap(), {0, 0, 255, 255}, false);
    CHECK(ink.count > 100 && ink.partial > 20 && ink.count > ink.partial && !ink.otherColour);
    CHECK(ink.left >= 9 && ink.right < 10 + w + 3 && ink.top >= 9 && ink.bottom < 10 + h + 1);
  }

  // The origin moves the drawing: the same pixels, shifted.
  {
    auto plain = Canvas::create(w + 20, h + 20);
    auto moved = Canvas::create(w + 20, h + 20);
    moved->setOrigin(300, -50);
    CHECK(plain->drawText(*f, {{"Hamburg", 10, 10}, {"I", 3, 0}}, {9, 8, 7, 255}, TextQuality::Vector));
    CHECK(moved->drawText(*f, {{"Hamburg", 310, -40}, {"I", 303, -50}}, {9, 8, 7, 255}, TextQuality::Vector));
    const Bitmap a = plain->toBitmap(), b = moved->toBitmap();
    bool same = true;
    for (int y = 0; y < int(a.height()); ++y) {
      for (int x = 0; x < int(a.width()); ++x) same = same && pixelAt(a, x, y) == pixelAt(b, x, y);
    }
    CHECK(same);
  }

  // One font drawn by several threads at once gives the same pixels.
  {
    auto drawOnce = [&f, w, h] {
      auto canvas = Canvas::create(w + 20, h + 20);
      canvas->drawText(*f, {{"Hamburg", 10, 10}}, {0, 128, 0, 255}, TextQuality::Vector);
      return canvas->toBitmap();
    };
    const Bitmap alone = drawOnce();
    std::vector<Bitmap> results(4);
    std::vector<std::thread> threads;
    for (Bitmap& result : results) threads.emplace_back([&result, &drawOnce] { result = drawOnce(); });
    for (std::thread& thread : threads) thread.join();
    for (const Bitmap& result : results) {
      bool same = result && result.width() == alone.width();
      for (int y = 0; same && y < int(alone.height()); ++y) {
        for (int x = 0; x < int(alone.width()); ++x) same = same && pixelAt(alone, x, y) == pixelAt(result, x, y);
      }
      CHECK(same);
    }
    CHECK(inkOf(alone, {0, 128, 0, 255}, false).count > 100);
  }

  // Lines land at their own positions: the second line's ink starts lower.
  {
    auto canvas = Canvas::create(w + 20, 3 * h);
    CHECK(canvas->drawText(*f, {{"I", 5, 0}, {"IWIWI", 5, 2.0 * h}}, {255, 255, 255, 255}, TextQuality::Raster));
    const Ink ink = inkOf(canvas->toBitmap(), {255, 255, 255, 255}, true);
    CHECK(ink.top < h && ink.bottom >= 2 * h && ink.right > 5 + raster[1].width);
  }

  // Underline runs across the whole word.
  {
    auto underlined = font(face, 20, true);
    auto canvas = Canvas::create(w + 20, h + 20);
    CHECK(canvas->drawText(*underlined, {{"Hamburg", 10, 10}}, {255, 255, 255, 255}, TextQuality::Raster));
    const Bitmap b = canvas->toBitmap();
    int longest = 0;
    for (int y = 0; y < int(b.height()); ++y) {
      int run = 0;
      for (int x = 0; x < int(b.width()); ++x) {
        run = pixelAt(b, x, y).a != 0 ? run + 1 : 0;
        longest = std::max(longest, run);
      }
    }
    CHECK(longest * 10 >= w * 9);
  }
}

// Huge characters: only the part on the canvas is rendered; past the
// engine's largest size, measuring and drawing fail.
void checkHugeFonts() {
  currentFace = "huge";
  auto base = font("Arial", 20);
  auto huge = resizedFont(*base, 30000);
  const auto start = std::chrono::steady_clock::now();
  const auto sizes = measureText(*huge, {"H"}, TextQuality::Raster);
  CHECK(sizes.size() == 1 && sizes[0].height >= 30000);
  for (TextQuality quality : {TextQuality::Raster, TextQuality::Vector}) {
    // The H's left stem (from 2400 pixels after the line start, over 2100
    // wide; its top 6500 below the line top) covers the canvas from its left
    // edge, top to bottom, as one solid block; the canvas is rendered in two
    // bands.
    auto canvas = Canvas::create(2100, 2100);
    CHECK(canvas->drawText(*huge, {{"H", -4300, -7000}}, {255, 255, 255, 255}, quality));
    const Ink ink = inkOf(canvas->toBitmap(), {255, 255, 255, 255}, quality == TextQuality::Raster);
    std::printf("huge H (%s): %d pixels covered, x %d..%d, y %d..%d\n",
                quality == TextQuality::Raster ? "raster" : "vector", ink.count, ink.left, ink.right, ink.top,
                ink.bottom);
    CHECK(ink.left == 0 && ink.top == 0 && ink.bottom == 2099 && ink.right > 100 && ink.right < 2000);
    // Smoothing may leave the stem's right edge column partly covered.
    CHECK(ink.count > ink.right * 2100 && ink.count <= (ink.right + 1) * 2100 && !ink.otherColour);
    CHECK(quality == TextQuality::Vector || (ink.count == (ink.right + 1) * 2100 && ink.partial == 0));
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("huge font: measured and drawn twice in %.2f s\n", seconds);
  CHECK(seconds < 60);

  auto beyond = resizedFont(*base, kMaxFontPixels + 1);
  CHECK(measureText(*beyond, {"H"}, TextQuality::Raster).empty());
  CHECK(measureText(*beyond, {"H"}, TextQuality::Vector).empty());
  auto canvas = Canvas::create(10, 10);
  CHECK(!canvas->drawText(*beyond, {{"H", 0, 0}}, {255, 255, 255, 255}, TextQuality::Vector));
  auto largest = resizedFont(*base, kMaxFontPixels);
  CHECK(measureText(*largest, {"Hamburg"}, TextQuality::Raster).size() == 1);

  // A face that does not exist is replaced by another; the default-font
  // stand-in draws too.
  auto unknown = font("No Such Face 12345", 14);
  CHECK(unknown != nullptr && !gdiFace(*unknown).empty());
  if (unknown) std::printf("face \"No Such Face 12345\": GDI gives \"%s\"\n", gdiFace(*unknown).c_str());
  Font standIn(FontRequest{}, 0);
  CHECK(measureText(standIn, {"x"}, TextQuality::Raster).size() == 1);
}

}  // namespace

int main() {
  FreeImage_Initialise(FALSE);
  checkFace("Arial");
  checkFace("Liberation Sans");
  checkHugeFonts();
  FreeImage_DeInitialise();
  if (failures > 0) {
    std::fprintf(stderr, "%d check(s) FAILED\n", failures);
    return 1;
  }
  std::printf("PASSED: every drawing check\n");
  return 0;
}
