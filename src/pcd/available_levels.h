// Which sub-images our converter can give for an Image Pac, read from its
// header (and, for 64Base, the presence of its extension) without decoding.
#pragma once

#include <optional>
#include <string>

namespace quorbix::pcd {

// The highest sub-image number our converter can give for the Image Pac at
// `path`: 6 when the header reaches 16Base and the extension's table of
// contents (IPE/<name>/64BASE/INFO.IC) is there, else the number of the
// highest level the header promises (5, 4 or 3). Every number above it is a
// certain "no such sub-image". Nothing when the file cannot be read or holds
// no Image Pac header: then only asking the converter tells.
std::optional<int> highestSubImageOf(const std::string& path);

}  // namespace quorbix::pcd
