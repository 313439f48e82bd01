// The sRGB colour space as an ICC profile, made by Little CMS from its own
// sRGB (the IEC 61966-2-1 primaries and D65 white, adapted to the profile
// connection space's D50 with the Bradford transform, and the sRGB tone
// curve) and saved as a version 2.4 display profile named
// "sRGB IEC61966-2.1". Its creation date and platform are fixed, so every
// run and both editions carry the same bytes.
#pragma once

#include <string>

namespace quorbix {

// The profile's bytes, made once per process (safe from any thread); empty
// when Little CMS could not make it.
const std::string& srgbIccProfile();

}  // namespace quorbix
