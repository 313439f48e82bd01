// Opening a web page in the user's default browser.
#pragma once

#include <string>

namespace quorbix::platform {

// Hands `url` to xdg-open (found on PATH, started without a shell, its
// standard streams on /dev/null, not waited for). Returns false when it
// cannot be started.
bool openInBrowser(const std::string& url);

}  // namespace quorbix::platform
