#include <FreeImage.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "convert/output_naming.h"
#include "drawing/font.h"
#include "support/bitmap_fixtures.h"
#include "ops/operations.h"
#include "ops/text_watermark.h"
#include "ops/watermark_text_layout.h"

#ifdef QUORBIX_SANITIZE
#include <sanitizer/lsan_interface.h>
#endif

namespace quorbix {
namespace {

using test::pixelAt;
using test::solidBitmap;

constexpr Extent kNoLimit{1LL << 40, 1LL << 40};
constexpr Rgba kGrey{100, 100, 100, 255};

// The settings of a text watermark with what the file's conversion hands
// the operation besides: the file's state, for the placeholders, and the
// run's font.
struct TextSettings : Settings {
  FileState file;
  std::shared_ptr<drawing::Font> watermarkFont;
};

// The text rendered or the watermark drawn as the file's conversion has them
// drawn: placeholders replaced with the file's values first.
RenderedText renderTextWatermark(const TextSettings& s, const Extent& limit) {
  return renderTextWatermark(s.watermark.text, expandWatermarkText(s, s.file), s.watermarkFont.get(), limit);
}
Bitmap watermarkImage(Bitmap image, int width, int height, const TextSettings& s) {
  return watermarkImage(std::move(image), width, height, s.watermark,
                        {s.frame, expandWatermarkText(s, s.file), s.watermarkFont.get()});
}

TextSettings textSettings(const std::string& text, int points = 20) {
  TextSettings s;
  s.watermark.watermark = WATERMARK_TEXT;
  s.watermark.text.wmText = text;
  drawing::FontRequest request;
  request.face = "Liberation Sans";
  request.points = points;
  s.watermarkFont = drawing::createFont(request);
  return s;
}

// Bounding box of the pixels of one block row range whose colour is `color`.
test::Box inkBox(const Bitmap& block, int top, int bottom, Rgba color) {
  test::Box box;
  for (int y = top; y < bottom; ++y) {
    for (int x = 0; x < static_cast<int>(block.width()); ++x) {
      if (pixelAt(block, x, y) != color) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

TEST(TextLayoutTest, LineBreaksInAnyCase) {
  EXPECT_EQ(splitWatermarkLines("a%eol%b%EOL%c%EoL%"), (std::vector<std::string>{"a", "b", "c", ""}));
  EXPECT_EQ(splitWatermarkLines("%eol%"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(splitWatermarkLines("100% sure %eo"), (std::vector<std::string>{"100% sure %eo"}));
  EXPECT_EQ(splitWatermarkLines("").size(), 1u);
}

TEST(TextLayoutTest, BlockSizeFromTheLines) {
  // One line: its own size, no minimum, plus padding on both sides.
  TextBlockLayout one = layoutTextBlock({{7, 5}}, 3, 2);
  EXPECT_EQ(one.width, 11);
  EXPECT_EQ(one.height, 9);
  EXPECT_FALSE(one.multiLine);
  // Several lines: widest and tallest, at least 10, then leading between.
  TextBlockLayout three = layoutTextBlock({{4, 6}, {30, 8}, {0, 0}}, 3, 2);
  EXPECT_EQ(three.width, 34);
  EXPECT_EQ(three.pitch, 13);
  EXPECT_EQ(three.height, 10 + 2 * 13 + 4);
  TextBlockLayout small = layoutTextBlock({{4, 6}, {3, 2}}, 0, 0);
  EXPECT_EQ(small.width, 10);
  EXPECT_EQ(small.height, 20);
}

TEST(TextLayoutTest, LineAlignment) {
  TextBlockLayout block = layoutTextBlock({{20, 10}, {9, 10}}, 0, 5);  // 30 wide
  EXPECT_EQ(alignLine(9, block, ALIGN_LEFT, 5), 5);
  EXPECT_EQ(alignLine(9, block, ALIGN_RIGHT, 5), 16);
  EXPECT_EQ(alignLine(9, block, ALIGN_CENTER, 5), 11);  // 10.5 rounds away from zero
  EXPECT_EQ(alignLine(20, block, ALIGN_CENTER, 5), 5);
  EXPECT_EQ(lineTop(1, block, 5), 15);
  // A single line starts at the padding whatever the alignment.
  TextBlockLayout one = layoutTextBlock({{20, 10}}, 0, 5);
  EXPECT_EQ(alignLine(20, one, ALIGN_RIGHT, 5), 5);
  EXPECT_EQ(alignLine(20, one, ALIGN_CENTER, 5), 5);
}

TEST(TextWatermarkTest, PlaceholdersAreFilledBeforeLayout) {
  TextSettings s = textSettings("%n%");
  s.file.fileCounter = 12345;
  Bitmap block = renderTextWatermark(s, kNoLimit).block;
  ASSERT_TRUE(block);
  auto sizes = drawing::measureText(*s.watermarkFont, {"12345", "%n%"}, drawing::TextQuality::Raster);
  ASSERT_EQ(sizes.size(), 2u);
  ASSERT_NE(sizes[0].width, sizes[1].width);
  EXPECT_EQ(block.width(), unsigned(sizes[0].width));
}

TEST(TextWatermarkTest, LinesFollowTheirAlignment) {
  TextSettings s = textSettings("I%eol%IWI%eol%IWIWI", 30);
  ASSERT_TRUE(s.watermarkFont);
  s.watermark.text.wmTextPadding = 5;
  s.watermark.text.wmFontColor = "FFFFFF";
  s.watermark.text.wmBackOpacity = 0;
  const Rgba white{255, 255, 255, 255};
  for (uint8_t alignment : {ALIGN_LEFT, ALIGN_CENTER, ALIGN_RIGHT}) {
    s.watermark.text.wmTextAlignment = alignment;
    Bitmap block = renderTextWatermark(s, kNoLimit).block;
    ASSERT_TRUE(block);
    const int width = static_cast<int>(block.width());
    const int pitch = (static_cast<int>(block.height()) - 10) / 3;
    for (int line = 0; line < 3; ++line) {
      test::Box ink = inkBox(block, 5 + line * pitch, 5 + (line + 1) * pitch, white);
      ASSERT_FALSE(ink.empty()) << "line " << line;
      // Side bearings of the glyphs allow a few pixels.
      if (alignment == ALIGN_LEFT) {
        EXPECT_NEAR(ink.left, 5, 4);
      } else if (alignment == ALIGN_RIGHT) {
        EXPECT_NEAR(ink.right, width - 6, 4);
      } else {
        EXPECT_NEAR(ink.left + ink.right, width - 1, 5);
      }
    }
  }
}

TEST(TextWatermarkTest, RasterWritesTextAlphaOverTheBox) {
  TextSettings s = textSettings("HHH", 40);
  s.watermark.text.wmFontColor = "FFFFFF";
  s.watermark.text.wmBackColor = "0000FF";
  s.watermark.text.wmTextOpacity = 128;
  s.watermark.text.wmBackOpacity = 255;
  Bitmap block = renderTextWatermark(s, kNoLimit).block;
  ASSERT_TRUE(block);
  int glyph = 0, box = 0, other = 0;
  for (unsigned y = 0; y < block.height(); ++y) {
    for (unsigned x = 0; x < block.width(); ++x) {
      Rgba p = pixelAt(block, int(x), int(y));
      if (p == Rgba{255, 255, 255, 128}) {
        ++glyph;
      } else if (p == Rgba{0, 0, 255, 255}) {
        ++box;
      } else {
        ++other;
      }
    }
  }
  EXPECT_GT(glyph, 50);
  EXPECT_GT(box, 50);
  EXPECT_EQ(other, 0);  // no smoothing, no blending

  // Over the image the glyphs let the picture show through half and half.
  Bitmap out = watermarkImage(solidBitmap(400, 200, 24, {0, 0, 0, 255}), 400, 200, s);
  bool halfWhite = false;
  for (int y = 0; y < 200 && !halfWhite; ++y)
    for (int x = 0; x < 400 && !halfWhite; ++x) halfWhite = pixelAt(out, x, y) == Rgba{127, 127, 127, 255};
  EXPECT_TRUE(halfWhite);
}

TEST(TextWatermarkTest, VectorBlendsTextOverTheBox) {
  TextSettings s = textSettings("HOH", 40);
  s.watermark.text.wmTextAntialiasing = true;
  s.watermark.text.wmFontColor = "FFFFFF";
  s.watermark.text.wmBackColor = "0000FF";
  s.watermark.text.wmTextOpacity = 128;
  s.watermark.text.wmBackOpacity = 255;
  Bitmap block = renderTextWatermark(s, kNoLimit).block;
  ASSERT_TRUE(block);
  bool blended = false;
  for (unsigned y = 0; y < block.height(); ++y) {
    for (unsigned x = 0; x < block.width(); ++x) {
      Rgba p = pixelAt(block, int(x), int(y));
      EXPECT_EQ(p.a, 255);  // the opaque box stays opaque under the text
      if (p.r >= 126 && p.r <= 129 && p.b == 255) blended = true;  // half white over blue
    }
  }
  EXPECT_TRUE(blended);
}

TEST(TextWatermarkTest, DefaultPlacementIsTenPixelsFromTheBottomRight) {
  TextSettings s = textSettings("Quorbix");
  s.watermark.text.wmBackOpacity = 255;
  s.watermark.text.wmBackColor = "FF0000";
  Bitmap block = renderTextWatermark(s, kNoLimit).block;
  ASSERT_TRUE(block);
  Bitmap out = watermarkImage(solidBitmap(300, 200, 24, kGrey), 300, 200, s);
  test::Box box = test::differingBox(out, solidBitmap(300, 200, 24, kGrey));
  EXPECT_EQ(box.right, 300 - 11);
  EXPECT_EQ(box.bottom, 200 - 11);
  EXPECT_EQ(box.width(), int(block.width()));
  EXPECT_EQ(box.height(), int(block.height()));

  s.watermark.text.wmTextRotation = 90;
  out = watermarkImage(solidBitmap(300, 200, 24, kGrey), 300, 200, s);
  box = test::differingBox(out, solidBitmap(300, 200, 24, kGrey));
  EXPECT_EQ(box.width(), int(block.height()));
  EXPECT_EQ(box.height(), int(block.width()));
}

TEST(TextWatermarkTest, BlockRenderedOnlyAsFarAsItCanBeSeen) {
  TextSettings s = textSettings("A rather long watermark line", 30);
  s.watermark.text.wmBackOpacity = 255;
  Bitmap whole = renderTextWatermark(s, kNoLimit).block;
  Bitmap part = renderTextWatermark(s, {60, 20}).block;
  ASSERT_TRUE(whole && part);
  EXPECT_EQ(part.width(), 60u);
  EXPECT_EQ(part.height(), 20u);
  Bitmap cut(FreeImage_Copy(whole.get(), 0, 0, 60, 20));
  EXPECT_TRUE(test::samePixels(part, cut));
}

TEST(TextWatermarkTest, NothingToDrawLeavesA24BitImage) {
  TextSettings noFont = textSettings("x");
  noFont.watermarkFont.reset();
  Bitmap out = watermarkImage(solidBitmap(50, 40, 32, kGrey), 50, 40, noFont);
  ASSERT_TRUE(out);
  EXPECT_EQ(out.bpp(), 24u);
  EXPECT_TRUE(test::differingBox(out, solidBitmap(50, 40, 24, kGrey)).empty());

  TextSettings empty = textSettings("");  // zero-width block: nothing drawn, the file converts
  EXPECT_FALSE(renderTextWatermark(empty, kNoLimit).block);
  EXPECT_TRUE(watermarkImage(solidBitmap(50, 40, 24, kGrey), 50, 40, empty));
}

TEST(TextWatermarkTest, FontStyleAndEffectsShowInTheBlock) {
  auto render = [](void (*style)(drawing::FontRequest&)) {
    TextSettings s = textSettings("Hamburg", 24);
    drawing::FontRequest request = s.watermarkFont->request();
    style(request);
    s.watermarkFont = drawing::createFont(request);
    s.watermark.text.wmBackOpacity = 0;
    return renderTextWatermark(s, kNoLimit).block;
  };
  Bitmap plain = render([](drawing::FontRequest&) {});
  Bitmap bold = render([](drawing::FontRequest& r) { r.bold = true; });
  Bitmap underlined = render([](drawing::FontRequest& r) { r.underline = true; });
  Bitmap struck = render([](drawing::FontRequest& r) { r.strikeThrough = true; });
  ASSERT_TRUE(plain && bold && underlined && struck);
  EXPECT_GT(bold.width(), plain.width());
  // Both lines run under the whole word: some row has one unbroken run of
  // ink across most of the block, which no row of the plain word has.
  auto hasFullRow = [](const Bitmap& block) {
    for (int y = 0; y < int(block.height()); ++y) {
      int run = 0, longest = 0;
      for (int x = 0; x < int(block.width()); ++x) {
        run = pixelAt(block, x, y).a != 0 ? run + 1 : 0;
        longest = std::max(longest, run);
      }
      if (longest * 10 >= int(block.width()) * 8) return true;
    }
    return false;
  };
  EXPECT_FALSE(hasFullRow(plain));
  EXPECT_TRUE(hasFullRow(underlined));
  EXPECT_TRUE(hasFullRow(struck));
  // A negative size means the same height as the positive one.
  TextSettings negative = textSettings("Hamburg", -24);
  EXPECT_EQ(negative.watermarkFont->pixelSize(), 32);
}

TEST(TextWatermarkTest, HostileTextsAndSizesDoNotBreak) {
  std::string longText(100000, 'W');
  std::string manyLines;
  for (int i = 0; i < 5000; ++i) manyLines += "ab%EOL%";
  const std::string texts[] = {longText, manyLines, std::string("\xff\xfe bad utf8 \0 nul", 18)};
  for (const std::string& text : texts) {
    for (int points : {0, -12, 14, 10000}) {
      TextSettings s = textSettings(text, points);
      ASSERT_TRUE(s.watermarkFont);
      Bitmap out = watermarkImage(solidBitmap(120, 80, 24, kGrey), 120, 80, s);
      ASSERT_TRUE(out) << points;
      EXPECT_EQ(out.bpp(), 24u);
    }
  }
  // A face that does not exist is replaced by another one.
  drawing::FontRequest request;
  request.face = "No Such Face 12345";
  EXPECT_TRUE(drawing::createFont(request));
}

TEST(TextWatermarkTest, FontBeyondTheEnginesLargestSizeFailsTheFile) {
  // The largest size the engine draws: measured, not failed (the block is
  // larger than any canvas, so nothing is drawn).
  TextSettings largest = textSettings("Hamburg", 49151);
  ASSERT_EQ(largest.watermarkFont->pixelSize(), drawing::kMaxFontPixels);
  EXPECT_FALSE(renderTextWatermark(largest, kNoLimit).fontFailed);
  EXPECT_EQ(textSettings("Hamburg", 60000).watermarkFont->pixelSize(), drawing::kMaxFontPixels);

  // One pixel more, asked for past the cap, is beyond the engine.
#ifdef QUORBIX_SANITIZE
  // Cairo loses the memory of the scaled font it fails to create.
  __lsan::ScopedDisabler cairoLosesTheFailedFont;
#endif
  TextSettings beyond = largest;
  beyond.watermarkFont = drawing::resizedFont(*largest.watermarkFont, drawing::kMaxFontPixels + 1);
  for (bool smooth : {false, true}) {
    beyond.watermark.text.wmTextAntialiasing = smooth;
    RenderedText rendered = renderTextWatermark(beyond, kNoLimit);
    EXPECT_TRUE(rendered.fontFailed) << smooth;
    EXPECT_FALSE(rendered.block) << smooth;
    EXPECT_FALSE(watermarkImage(solidBitmap(50, 40, 24, kGrey), 50, 40, beyond)) << smooth;
  }
}

}  // namespace
}  // namespace quorbix
