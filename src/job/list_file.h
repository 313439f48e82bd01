// Reading a list file: one file or folder path per line. A leading
// byte-order mark (UTF-8, UTF-16 or UTF-32, either byte order) is skipped and
// the rest is taken as UTF-8; lines end at CR, LF or CR LF; spaces (not tabs)
// around a line are removed. There is no comment syntax.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorbix {

// The non-empty trimmed lines of `contents`, in file order. Lines holding a
// NUL byte cannot name a path and are left out.
std::vector<std::string> listFileLines(std::string_view contents);

}  // namespace quorbix
