// Warnings about what the option loop and the profile reader read but do not
// understand: an unknown option or key, a word that is no keyword of its
// option. They are collected as texts, without the "Warning: " that the
// driver puts before each when it prints them, and change nothing: the
// settings are what they would be without them. Any thread; no shared state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/keyword_tables.h"

namespace quorbix {

using Warnings = std::vector<std::string>;

// Appends a warning to `warnings` when `value`, given to a keyword option
// whose keywords are those of `table` (within `group` for Compression), is
// none of them; it names the option as `name`, followed by `where` ("" on
// the command line, " in profile FILE line N" in a profile), and says what
// the setting takes instead. A `table` below 0 (no keyword option) never
// warns.
void checkKeyword(int table, CompressionGroup group, std::string_view name, std::string_view value,
                  std::string_view where, Warnings& warnings);

}  // namespace quorbix
