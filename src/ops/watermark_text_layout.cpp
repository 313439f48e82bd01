#include "ops/watermark_text_layout.h"

#include <algorithm>
#include <cmath>

#include "base/ascii_text.h"
#include "settings/keyword_codes.h"

namespace quorbix {
namespace {

constexpr std::string_view kLineBreak = "%eol%";
constexpr long long kMinMultiLineSide = 10;

bool isLineBreakAt(std::string_view text, size_t at) {
  if (text.size() - at < kLineBreak.size()) return false;
  for (size_t i = 0; i < kLineBreak.size(); ++i) {
    if (lowerAscii(text[at + i]) != kLineBreak[i]) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> splitWatermarkLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t at = 0;
  while (at < text.size()) {
    if (text[at] == '%' && isLineBreakAt(text, at)) {
      lines.emplace_back(text.substr(start, at - start));
      at += kLineBreak.size();
      start = at;
    } else {
      ++at;
    }
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

TextBlockLayout layoutTextBlock(const std::vector<drawing::TextSize>& rasterSizes, int leading,
                                int padding) {
  TextBlockLayout block;
  if (rasterSizes.empty()) return block;
  long long textWidth = 0;
  long long textHeight = 0;
  if (rasterSizes.size() == 1) {
    textWidth = std::llround(rasterSizes[0].width);
    textHeight = std::llround(rasterSizes[0].height);
  } else {
    long long lineHeight = kMinMultiLineSide;
    textWidth = kMinMultiLineSide;
    for (const drawing::TextSize& size : rasterSizes) {
      textWidth = std::max(textWidth, std::llround(size.width));
      lineHeight = std::max(lineHeight, std::llround(size.height));
    }
    block.pitch = lineHeight + leading;
    block.multiLine = true;
    textHeight = lineHeight + static_cast<long long>(rasterSizes.size() - 1) * block.pitch;
  }
  block.width = textWidth + 2LL * padding;
  block.height = textHeight + 2LL * padding;
  return block;
}

long long alignLine(long long lineWidth, const TextBlockLayout& block, uint8_t alignment,
                    int padding) {
  if (!block.multiLine) return padding;
  switch (alignment) {
    case ALIGN_CENTER:
      // Halved in single precision, rounded half away from zero.
      return std::lround(static_cast<float>(block.width - lineWidth) / 2.0f);
    case ALIGN_RIGHT:
      return block.width - lineWidth - padding;
    default:
      return padding;
  }
}

long long lineTop(size_t index, const TextBlockLayout& block, int padding) {
  return padding + static_cast<long long>(index) * block.pitch;
}

}  // namespace quorbix
