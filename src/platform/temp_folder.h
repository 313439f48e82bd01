// A private temporary folder for one run (mode 0700 under $TMPDIR or /tmp),
// removed with its contents when the object dies.
#pragma once

#include <string>

namespace quorbix::platform {

class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // Ends in "/"; empty when the folder could not be made.
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace quorbix::platform
