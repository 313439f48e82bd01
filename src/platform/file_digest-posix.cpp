#include "platform/file_digest.h"

#include <glib.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "platform/file_stream.h"

namespace quorbix::platform {

std::string fileSha256(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openForReading(path), std::fclose);
  if (!file) return "";
  std::unique_ptr<GChecksum, void (*)(GChecksum*)> checksum(g_checksum_new(G_CHECKSUM_SHA256), g_checksum_free);
  std::vector<unsigned char> buffer(1 << 20);
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0) {
    g_checksum_update(checksum.get(), buffer.data(), static_cast<gssize>(n));
  }
  if (std::ferror(file.get()) != 0) return "";
  return g_checksum_get_string(checksum.get());
}

}  // namespace quorbix::platform
