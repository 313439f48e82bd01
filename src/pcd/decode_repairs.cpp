#include "pcd/decode_repairs.h"

#include <algorithm>

namespace quorbix::pcd {

namespace {
// Spans named one by one before the rest is only counted.
constexpr size_t kNamedSpans = 6;
}  // namespace

DecodeRepairs::LevelRows& DecodeRepairs::rowsOf(Level level) {
  // Kept lowest level first, the order describe() names them in.
  auto at = std::lower_bound(levels_.begin(), levels_.end(), level,
                             [](const LevelRows& entry, Level l) { return entry.level < l; });
  if (at == levels_.end() || at->level != level) {
    at = levels_.insert(at, LevelRows{level, std::vector<bool>(static_cast<size_t>(levelHeight(level)), false)});
  }
  return *at;
}

void DecodeRepairs::addRows(Level level, int first, int last) {
  std::vector<bool>& rows = rowsOf(level).rows;
  first = std::max(first, 0);
  last = std::min(last, static_cast<int>(rows.size()) - 1);
  for (int y = first; y <= last; ++y) rows[static_cast<size_t>(y)] = true;
}

void DecodeRepairs::addLevel(Level level) { addRows(level, 0, levelHeight(level) - 1); }

int DecodeRepairs::rowCount(Level level) const {
  for (const LevelRows& entry : levels_) {
    if (entry.level == level) return static_cast<int>(std::count(entry.rows.begin(), entry.rows.end(), true));
  }
  return 0;
}

std::string DecodeRepairs::describe(Rotation rotation) const {
  // A stored row is an upright row (turned half: counted from the other
  // end) or, for a picture stored on its side, an upright column.
  const bool sideways = rotation == Rotation::Quarter || rotation == Rotation::ThreeQuarters;
  const bool reversed = rotation == Rotation::Half || rotation == Rotation::ThreeQuarters;
  std::string text;
  for (const LevelRows& entry : levels_) {
    const int height = static_cast<int>(entry.rows.size());
    std::vector<bool> upright(entry.rows.size());
    for (int y = 0; y < height; ++y) upright[static_cast<size_t>(reversed ? height - 1 - y : y)] = entry.rows[static_cast<size_t>(y)];
    std::vector<std::pair<int, int>> spans;
    for (int y = 0; y < height; ++y) {
      if (!upright[static_cast<size_t>(y)]) continue;
      if (!spans.empty() && spans.back().second == y - 1) {
        spans.back().second = y;
      } else {
        spans.emplace_back(y, y);
      }
    }
    if (spans.empty()) continue;
    int count = 0;
    for (const auto& [first, last] : spans) count += last - first + 1;
    if (!text.empty()) text += "; ";
    text += levelName(entry.level);
    text += sideways ? " columns " : " rows ";
    for (size_t i = 0; i < spans.size() && i < kNamedSpans; ++i) {
      if (i > 0) text += (i + 1 == spans.size()) ? " and " : ", ";
      text += std::to_string(spans[i].first);
      if (spans[i].second != spans[i].first) {
        text += '-';
        text += std::to_string(spans[i].second);
      }
    }
    if (spans.size() > kNamedSpans) text += " and others";
    text += " (";
    text += std::to_string(count);
    text += " of ";
    text += std::to_string(height);
    text += ')';
  }
  return text;
}

}  // namespace quorbix::pcd
