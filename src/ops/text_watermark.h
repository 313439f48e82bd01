// Rendering of the text watermark into a 32-bit block: lines, layout, and
// raster or anti-aliased drawing in the run's watermark font.
#pragma once

#include "image/bitmap.h"
#include "ops/watermark_placement.h"
#include "drawing/font.h"
#include "settings/settings.h"

namespace quorbix {

// Blocks with more pixels than this are not rendered when they are to be
// rotated (an unrotated block is only rendered as far as it can be seen).
inline constexpr long long kMaxRotatedBlockPixels = 8192LL * 8192;

struct RenderedText {
  // The rendered block, or only its top-left `limit` part when that is
  // smaller. Empty when there is no font, the text yields an empty block, a
  // side of the block exceeds the drawing limit, no canvas can be had for
  // it, or the text failed.
  Bitmap block;
  // The text could not be measured or drawn (the font engine cannot give
  // the font at its size, or drawing failed): the file fails rather than go
  // out without its watermark.
  bool fontFailed = false;
};

// `text` has its placeholders replaced already; `font` is the run's (nullptr:
// nothing is rendered).
RenderedText renderTextWatermark(const TextWatermarkOptions& settings, const std::string& text,
                                 const drawing::Font* font, const Extent& limit);

}  // namespace quorbix
