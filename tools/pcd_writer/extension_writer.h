// A 64Base extension writer for tests, the fuzzer's seeds and the sample
// maker: codes a picture as differences to its prediction and lays them out
// as INFO.IC plus coded-data files, the way the decoder reads them. Works at
// any plane size, so the decoder can be tested on small pictures too.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pcd/extension_files.h"
#include "pcd/pcd_header.h"
#include "pcd/plane.h"

namespace quorbix::pcd_writer {

using ExtensionFileBytes = std::map<std::string, std::string>;  // file name -> contents

struct ExtensionWriteOptions {
  int sequencesPerRow = 4;  // luma and chroma rows are cut into this many sequences
  int codedWidth = 0;       // luma columns coded; 0 = the whole width
  int firstColumn = 0;      // first coded luma column (even)
  bool chroma = true;       // code chroma differences too (three layers)
  int lumaFiles = 1;        // the luma sequences are spread over this many files
  int leadingBytes = 16;    // filler before the coded data in each file
};

// Codes `target` as differences to `prediction` (same sizes, chroma at half
// size). `rebuilt` receives what a correct decoder makes of the result.
ExtensionFileBytes writeExtension(const pcd::YccPicture& prediction, const pcd::YccPicture& target,
                                  const ExtensionWriteOptions& options, pcd::YccPicture& rebuilt);

// A Pro PhotoCD picture: the Image Pac up to 16Base and its 64Base extension.
struct ProPhotoCd {
  std::string imagePac;
  ExtensionFileBytes extension;
  std::vector<pcd::YccPicture> expected;  // per level, Base/16 up to 64Base
};
ProPhotoCd writeProPhotoCd(const pcd::YccPicture& sixtyFourBase, pcd::Rotation rotation,
                           const ExtensionWriteOptions& options);

// Extension files held in memory; names are matched exactly.
class MemoryExtensionFiles : public pcd::ExtensionFiles {
 public:
  explicit MemoryExtensionFiles(const ExtensionFileBytes& files) : files_(files) {}
  std::unique_ptr<pcd::ByteSource> open(const std::string& name) const override;

 private:
  const ExtensionFileBytes& files_;
};

}  // namespace quorbix::pcd_writer
