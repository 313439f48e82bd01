#include "platform/library_log.h"

#include <glib.h>

#include <string>

namespace quorbix::platform {
namespace {

LibraryLogSink gSink = nullptr;

const char* levelName(GLogLevelFlags level) {
  if (level & G_LOG_LEVEL_ERROR) return "error";
  if (level & G_LOG_LEVEL_CRITICAL) return "critical";
  if (level & G_LOG_LEVEL_WARNING) return "warning";
  if (level & G_LOG_LEVEL_MESSAGE) return "message";
  if (level & G_LOG_LEVEL_INFO) return "info";
  return "debug";
}

// Every GLib log message (Pango's among them) ends here, structured or not.
GLogWriterOutput glibMessage(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer) {
  std::string domain = "GLib";
  std::string message;
  for (gsize i = 0; i < count; ++i) {
    const std::string_view key = fields[i].key;
    if (key != "MESSAGE" && key != "GLIB_DOMAIN") continue;
    const char* value = static_cast<const char*>(fields[i].value);
    if (value == nullptr) continue;
    std::string text = fields[i].length < 0 ? std::string(value)
                                            : std::string(value, static_cast<size_t>(fields[i].length));
    (key == "MESSAGE" ? message : domain) = std::move(text);
  }
  // Debug and informational messages only when G_MESSAGES_DEBUG asks for them.
  if (!g_log_writer_default_would_drop(level, domain.c_str())) {
    gSink(domain + " " + levelName(level), message);
  }
  return G_LOG_WRITER_HANDLED;
}

void glibPrint(const gchar* text) { gSink("GLib", text != nullptr ? text : ""); }

}  // namespace

void catchLibraryLog(LibraryLogSink sink) {
  gSink = sink;
  g_log_set_writer_func(glibMessage, nullptr, nullptr);
  g_set_print_handler(glibPrint);
  g_set_printerr_handler(glibPrint);
}

std::string validUtf8(std::string_view text) {
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result = valid != nullptr ? valid : "";
  g_free(valid);
  return result;
}

}  // namespace quorbix::platform
