// Paths the tests need: the build folder, the optional real PhotoCD samples,
// a private temporary folder removed when the test ends, and what a folder
// holds.
#pragma once

#include <string>
#include <vector>

namespace quorbix::test {

// Folder of the shared real samples, or "" when it is absent.
std::string samplesDir();

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it when
// the object dies. path() ends in "/".
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The names in `folder`, sorted; none when it cannot be read.
std::vector<std::string> namesIn(const std::string& folder);

}  // namespace quorbix::test
