// The sRGB colour space as an ICC profile (version 2.4, display class,
// matrix and tone curves), built from the published definition: the
// primaries and D65 white point of IEC 61966-2-1, adapted to the profile
// connection space's D50 white with the Bradford transform as the ICC
// convention asks, and the sRGB tone curve as a 1024-entry table. Its
// description names sRGB. The same bytes every time; pure.
#pragma once

#include <string>

namespace quorbix {

// The profile's bytes, built on first use.
const std::string& srgbIccProfile();

}  // namespace quorbix
