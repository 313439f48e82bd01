// Small helpers shared by the job's unit tests: files with given contents,
// and a recorder for the job's console lines.
#pragma once

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

#include "job/job_lines.h"

namespace quorbix::test {

inline void writeFile(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

inline void makeFolder(const std::string& path) { ::mkdir(path.c_str(), 0755); }

struct LineRecorder {
  std::vector<std::string> lines;
  LineSink sink() {
    return [this](std::string_view line) { lines.emplace_back(line); };
  }
};

}  // namespace quorbix::test
