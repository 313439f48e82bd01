// Fuzz target for the profile reader: the input is a profile file's bytes,
// in any of its encodings (ISO 8859-1, UTF-8 after its mark, UTF-16 after
// either mark). Every key line is applied to fresh settings. The texts taken
// from a profile must be valid UTF-8 and hold no line break.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/profile_reader.h"
#include "settings/settings_defaults.h"
#include "text_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quorbix;
  Settings settings;
  resetJobFields(settings);
  setDefaults(settings);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const ProfileEntry& entry : parseProfile(bytes)) {
    fuzz::require(fuzz::isValidUtf8(entry.key) && fuzz::isValidUtf8(entry.value));
    fuzz::require(entry.key.find_first_of("\r\n") == std::string::npos);
    fuzz::require(entry.value.find_first_of("\r\n") == std::string::npos);
    applyProfileEntry(entry, settings);
  }
  return 0;
}
