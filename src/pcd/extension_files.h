// The 64Base level of a Pro PhotoCD picture is not in its Image Pac but in
// extension files beside it on the disc:
//   PHOTO_CD/IMAGES/IMG0001.PCD          the Image Pac
//   PHOTO_CD/IPE/IMG0001/64BASE/INFO.IC  the extension's table of contents
//   PHOTO_CD/IPE/IMG0001/64BASE/*.ICR    its coded data, named by INFO.IC
// ExtensionFiles opens these by name; the decoder reads them only through it,
// so tests and the fuzzer can hand it files held in memory.
#pragma once

#include <memory>
#include <string>

#include "pcd/byte_source.h"

namespace quorbix::pcd {

constexpr char kExtensionInfoName[] = "INFO.IC";

class ExtensionFiles {
 public:
  virtual ~ExtensionFiles() = default;
  // The file `name` of the extension, or nullptr when it is not there.
  virtual std::unique_ptr<ByteSource> open(const std::string& name) const = 0;
};

// True for a name that can only mean a file inside the extension folder: an
// 8.3 name of letters, digits, '_' and '-' with at most one dot.
bool isPlainExtensionFileName(const std::string& name);

// The extension folder that belongs to the Image Pac at `imagePath`: from the
// Image Pac's folder one up, then IPE/<image name without its extension>/
// 64BASE, each step found ignoring letter case. Its files are found ignoring
// case too. The folder is looked for only when a file is first asked for, so
// a picture that cannot have 64Base costs no folder searches; with no such
// folder every file is missing.
std::unique_ptr<ExtensionFiles> extensionFolderOf(const std::string& imagePath);

}  // namespace quorbix::pcd
