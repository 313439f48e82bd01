#include "pcd/available_levels.h"

#include "pcd/byte_source.h"
#include "pcd/extension_files.h"
#include "pcd/pcd_header.h"

namespace quorbix::pcd {

// The same tests the decoder makes before it decodes anything: a level above
// the header's highest is "no such level", and so is 64Base without its
// extension's table of contents.
std::optional<int> highestSubImageOf(const std::string& path) {
  const std::unique_ptr<FileByteSource> source = FileByteSource::open(path);
  if (!source) return std::nullopt;
  const std::optional<PcdHeader> header = readPcdHeader(*source);
  if (!header) return std::nullopt;
  if (header->highestLevel < Level::FourBase) return 3;
  if (header->highestLevel < Level::SixteenBase) return 4;
  const std::unique_ptr<ExtensionFiles> extension = extensionFolderOf(path);
  return extension->open(kExtensionInfoName) ? 6 : 5;
}

}  // namespace quorbix::pcd
