// Finding a folder entry by name without regard to ASCII letter case. A
// PhotoCD disc names its files in capitals, but copies of it on Linux disks
// are often in lower case, or mixed after a careless copy.
#pragma once

#include <optional>
#include <string>

namespace quorbix::platform {

// The path (`folder` + "/" + the entry's own name) of the entry of `folder`
// whose name equals `name` ignoring ASCII case. An exact match wins; among
// several other matches the smallest name in byte order, so the answer does
// not depend on the order the folder lists them. Nothing when there is no
// such entry or the folder cannot be read.
std::optional<std::string> findEntryIgnoringCase(const std::string& folder, const std::string& name);

}  // namespace quorbix::platform
