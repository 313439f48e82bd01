// The order of the files of a run: paths compared folder by folder and name
// by name, without regard to the case of ASCII letters, the way Windows lists
// a folder. Letters are brought to upper case before comparing (so '_' and
// '[' .. '`' come after every letter); every other byte, UTF-8 sequences
// included, is compared as an unsigned byte. A folder or name that is the
// start of another comes first ("a" before "a.pcd", "a/b" before "a.b/x").
// Two paths that differ only in the case of letters are ordered by their
// exact bytes, so the order of a set of paths never depends on anything else.
//
// "/" separates folders, and so does `separator`, the system's own (give "/"
// again where it is the only one: then a "\" is an ordinary byte, as in a
// Linux file name; give "\" where both separate, as on Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorbix {

// Negative when `a` comes before `b`, positive when after, 0 only when the
// two are the same bytes.
int comparePathsByName(std::string_view a, std::string_view b, char separator = '/');

// The up to 8 bytes of `path` from `from` on, as one number to sort by
// before the paths themselves are compared: for two paths whose first
// `from` bytes are the same, a smaller key means the path comes first; equal
// keys say nothing. Sorting many paths by these first keeps most
// comparisons inside a small array instead of the paths' own memory.
uint64_t pathOrderKey(std::string_view path, size_t from, char separator = '/');

}  // namespace quorbix
