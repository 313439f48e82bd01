// The log the libraries under the drawing code write to: GLib's, which GLib
// and Pango use on Linux. The Windows edition has neither, so it has no such
// log to catch.
#pragma once

#include <string>
#include <string_view>

namespace quorbix::platform {

// Receives one message of the log: its source ("<domain> <level>", or
// "GLib" for GLib's own printing) and its text.
using LibraryLogSink = void (*)(std::string_view source, std::string_view text);

// Hands every message of the log to `sink` from now on, none of them to the
// console; debug and informational messages only when G_MESSAGES_DEBUG asks
// for them. Call once, before the libraries are used.
void catchLibraryLog(LibraryLogSink sink);

// `text` as valid UTF-8: what is not a valid UTF-8 sequence becomes U+FFFD.
std::string validUtf8(std::string_view text);

}  // namespace quorbix::platform
