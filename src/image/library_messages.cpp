#include "image/library_messages.h"

#include <FreeImage.h>
#include <tiffio.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>

#include "platform/console.h"
#include "platform/library_log.h"
#include "platform/standard_error.h"

namespace quorbix {
namespace {

std::atomic<bool> gShow{false};

// The calling thread's hold, if any.
thread_local LibraryMessageHold* tHold = nullptr;

// Valid UTF-8 on one line: control characters (C0, DEL, C1) and line breaks
// become spaces, runs of spaces one space, and none at either end.
std::string oneLine(std::string_view text) {
  const std::string source = platform::validUtf8(text);
  std::string line;
  line.reserve(source.size());
  for (size_t i = 0; i < source.size(); ++i) {
    const auto byte = static_cast<unsigned char>(source[i]);
    bool control = byte < 0x20 || byte == 0x7F;
    // U+0080 to U+009F are C2 80 to C2 9F.
    if (byte == 0xC2 && i + 1 < source.size() && static_cast<unsigned char>(source[i + 1]) <= 0x9F) {
      control = true;
      ++i;
    }
    const char c = control ? ' ' : source[i];
    if (c == ' ' && (line.empty() || line.back() == ' ')) continue;
    line += c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

// printf-style text, as long as it is.
std::string formatted(const char* format, va_list arguments) {
  if (format == nullptr) return "";
  va_list measuring;
  va_copy(measuring, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  if (length <= 0) return "";
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, arguments);
  text.resize(static_cast<size_t>(length));
  return text;
}

void DLL_CALLCONV freeImageMessage(FREE_IMAGE_FORMAT format, const char* message) {
  const char* name = format != FIF_UNKNOWN ? FreeImage_GetFormatFromFIF(format) : nullptr;
  reportLibraryMessage(name != nullptr ? std::string("FreeImage ") + name : std::string("FreeImage"),
                       message != nullptr ? message : "");
}

void tiffMessage(const char* kind, const char* module, const char* format, va_list arguments) {
  std::string text = formatted(format, arguments);
  if (module != nullptr && *module != '\0') text = std::string(module) + ": " + text;
  reportLibraryMessage(std::string("libtiff ") + kind, text);
}

void tiffWarning(const char* module, const char* format, va_list arguments) {
  tiffMessage("warning", module, format, arguments);
}

void tiffError(const char* module, const char* format, va_list arguments) {
  tiffMessage("error", module, format, arguments);
}

}  // namespace

void catchLibraryMessages() {
  static std::once_flag once;
  std::call_once(once, [] {
    FreeImage_SetOutputMessage(freeImageMessage);
    TIFFSetWarningHandler(tiffWarning);
    TIFFSetErrorHandler(tiffError);
    platform::catchLibraryLog(reportLibraryMessage);
  });
}

void showLibraryMessages(bool show) { gShow = show; }

LibraryMessageHold::LibraryMessageHold() { tHold = this; }

LibraryMessageHold::~LibraryMessageHold() {
  if (tHold == this) tHold = nullptr;
}

std::vector<std::pair<std::string, std::string>> LibraryMessageHold::take() {
  std::vector<std::pair<std::string, std::string>> taken;
  taken.swap(kept_);
  return taken;
}

void reportLibraryMessages(const std::vector<std::pair<std::string, std::string>>& messages) {
  for (const auto& [source, text] : messages) reportLibraryMessage(source, text);
}

void reportLibraryMessage(std::string_view source, std::string_view text) {
  if (tHold != nullptr) {
    tHold->keep(source, text);
    return;
  }
  if (!gShow) return;
  const std::string line = oneLine(text);
  if (line.empty()) return;
  platform::printErrorLine("Library message: " + oneLine(source) + ": " + line);
}

void runCatchingStandardError(std::string_view source, const std::function<void()>& work) {
  const std::string caught = platform::runCatchingStandardError(work);
  size_t start = 0;
  while (start < caught.size()) {
    size_t end = caught.find('\n', start);
    if (end == std::string::npos) end = caught.size();
    reportLibraryMessage(source, std::string_view(caught).substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace quorbix
