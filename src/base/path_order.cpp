#include "base/path_order.h"

#include <algorithm>

#include "base/ascii_text.h"

namespace quorbix {
namespace {

// The rank of one byte (0..255): a separator below every other byte, so
// that paths compare as their lists of folder and file names do; letters in
// upper case; the bytes below "/" moved up by one to make room (the place of
// a second separator stays empty).
constexpr unsigned rankOf(char c, char separator) {
  const unsigned byte = static_cast<unsigned char>(upperAscii(c));
  return c == '/' || c == separator ? 0u : (byte < '/' ? byte + 1u : byte);
}

}  // namespace

int comparePathsByName(std::string_view a, std::string_view b, char separator) {
  const size_t common = std::min(a.size(), b.size());
  // Bytes that are the same are the same in any case: skip them plainly.
  const size_t firstDifference =
      static_cast<size_t>(std::mismatch(a.begin(), a.begin() + common, b.begin()).first - a.begin());
  for (size_t i = firstDifference; i < common; ++i) {
    const unsigned ra = rankOf(a[i], separator);
    const unsigned rb = rankOf(b[i], separator);
    if (ra != rb) return ra < rb ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  if (firstDifference == common) return 0;
  // The same but for the case of letters: the exact bytes decide.
  return static_cast<unsigned char>(a[firstDifference]) < static_cast<unsigned char>(b[firstDifference]) ? -1 : 1;
}

uint64_t pathOrderKey(std::string_view path, size_t from, char separator) {
  // Ranks from the most significant byte down; a path that ends first has
  // 0s there, as small as the separator, so its key is never the larger.
  uint64_t key = 0;
  for (size_t i = 0; i < 8; ++i) {
    key <<= 8;
    if (from + i < path.size()) key |= rankOf(path[from + i], separator);
  }
  return key;
}

}  // namespace quorbix
