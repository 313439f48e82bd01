#include "platform/library_log.h"

#include "platform/wide_text-windows.h"

namespace quorbix::platform {

// No GLib in the Windows edition: nothing writes to such a log.
void catchLibraryLog(LibraryLogSink) {}

// Through UTF-16 and back: Windows turns invalid UTF-8 into U+FFFD.
std::string validUtf8(std::string_view text) { return narrowText(wideText(text)); }

}  // namespace quorbix::platform
