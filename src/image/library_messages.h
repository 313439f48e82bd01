// Messages of the libraries behind the image and drawing code (FreeImage,
// libtiff, GLib and Pango, fontconfig). No library writes to the console itself: its
// messages are caught here and dropped, or, once shown, printed on standard
// error as the program's own line "Library message: <source>: <text>", one
// line each, without control characters. Messages may come from any thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorbix {

// Takes the libraries' messages from now on. Call on the main thread before
// the libraries are used; later calls do nothing.
void catchLibraryMessages();

// Whether caught messages are printed (false, the start: dropped).
void showLibraryMessages(bool show);

// Handles one message of `source` as the caught ones are handled.
void reportLibraryMessage(std::string_view source, std::string_view text);

// While one lives, the messages reported on its thread are kept in it
// instead of being handled; release() hands them on, in order, as if they
// came then. Lets work done ahead on another thread show its messages at its
// turn. One per thread at a time.
class LibraryMessageHold {
 public:
  LibraryMessageHold();
  ~LibraryMessageHold();
  LibraryMessageHold(const LibraryMessageHold&) = delete;
  LibraryMessageHold& operator=(const LibraryMessageHold&) = delete;

  // The messages kept so far (source, text), taken out of the hold.
  std::vector<std::pair<std::string, std::string>> take();

  void keep(std::string_view source, std::string_view text) { kept_.emplace_back(source, text); }

 private:
  std::vector<std::pair<std::string, std::string>> kept_;
};

// Handles messages taken from a hold, as reportLibraryMessage does.
void reportLibraryMessages(const std::vector<std::pair<std::string, std::string>>& messages);

// Runs `work` with the process's standard error caught; each line written
// there meanwhile becomes a message of `source`. For libraries that print
// on standard error themselves, with no hook to catch them: only while no
// other thread writes there.
void runCatchingStandardError(std::string_view source, const std::function<void()>& work);

}  // namespace quorbix
