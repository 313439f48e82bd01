// Layout of the text watermark's block: splitting the text into lines at
// "%eol%", the block size from the measured lines, and where each line
// starts. Pure arithmetic; the measuring is the drawing service's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/canvas.h"

namespace quorbix {

// Splits at every "%eol%", in any letter case; empty lines count.
std::vector<std::string> splitWatermarkLines(std::string_view text);

struct TextBlockLayout {
  long long width = 0;   // block size, padding included
  long long height = 0;
  long long pitch = 0;   // distance from one line's top to the next one's
  bool multiLine = false;
};

// The block for lines measured with the raster renderer. One line: its own
// size. Several: the widest line and the tallest line (each at least 10),
// lines `leading` pixels apart.
TextBlockLayout layoutTextBlock(const std::vector<drawing::TextSize>& rasterSizes, int leading,
                                int padding);

// Left edge of a line `lineWidth` wide. A one-line text always starts at
// the padding.
long long alignLine(long long lineWidth, const TextBlockLayout& block, uint8_t alignment,
                    int padding);

// Top edge of line `index`.
long long lineTop(size_t index, const TextBlockLayout& block, int padding);

}  // namespace quorbix
