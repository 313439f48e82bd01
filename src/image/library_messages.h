// Messages of the libraries behind the image and drawing code (FreeImage,
// libtiff, GLib and Pango, fontconfig). No library writes to the console itself: its
// messages are caught here and dropped, or, once shown, printed on standard
// error as the program's own line "Library message: <source>: <text>", one
// line each, without control characters. Messages may come from any thread.
#pragma once

#include <functional>
#include <string_view>

namespace quorbix {

// Takes the libraries' messages from now on. Call on the main thread before
// the libraries are used; later calls do nothing.
void catchLibraryMessages();

// Whether caught messages are printed (false, the start: dropped).
void showLibraryMessages(bool show);

// Handles one message of `source` as the caught ones are handled.
void reportLibraryMessage(std::string_view source, std::string_view text);

// Runs `work` with the process's standard error caught; each line written
// there meanwhile becomes a message of `source`. For libraries that print
// on standard error themselves, with no hook to catch them: only while no
// other thread writes there.
void runCatchingStandardError(std::string_view source, const std::function<void()>& work);

}  // namespace quorbix
