// Profile files: a small sectioned key=value text whose "CLI" section holds
// options, applied to Settings at the point where --profile stands on the
// command line. Main thread only (it writes Settings).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/setting_warnings.h"
#include "settings/settings.h"

namespace quorbix {

// Profiles larger than this are refused as unreadable: a profile is a page
// of options, and the whole file is read into memory.
inline constexpr uint64_t kMaxProfileBytes = uint64_t{64} << 20;

// Applies the "CLI" section of the file at `path` to `settings`. Returns
// false when the path is empty or names nothing that can be read as a
// regular file (missing, a folder, a device, no permission, too large); true
// otherwise, whether or not anything was applied. With `warnings`, a key
// line whose key is no profile key, or whose keyword is none of its
// option's, adds one warning naming the key, `path` and the line number.
// Keys left out of profiles on purpose (the job fields, --profile, the
// console switches, --FR-SOLID-OPACITY) are ignored without one.
bool readProfile(const std::string& path, Settings& settings, Warnings* warnings = nullptr);

// One key line of a profile's "CLI" section.
struct ProfileEntry {
  std::string key;    // as written, trailing blanks removed
  std::string value;  // outer blanks removed
  size_t line = 0;    // its line number in the file, from 1
};

// The parsing step on its own: the file's bytes (UTF-8 after its byte-order
// mark, UTF-16 after either of its marks, ISO 8859-1 otherwise) to the key
// lines of its first "CLI" section, in file order, as valid UTF-8 texts.
std::vector<ProfileEntry> parseProfile(std::string_view bytes);

// Applies one key line; unknown keys are ignored. Returns whether the key
// was recognised.
bool applyProfileEntry(const ProfileEntry& entry, Settings& settings);

}  // namespace quorbix
