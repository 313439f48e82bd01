// Times the import of a generated folder tree (files spread over sub-folders)
// and the InputSet alone with many keys: the set has a fixed 512 buckets, so
// its chains grow with the number of files.
// Usage: bench_import_folder [files=20000] [files-per-folder=200]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "job/input_import.h"
#include "job/input_set.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int perFolder = argc > 2 ? std::atoi(argv[2]) : 200;
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "quorbix-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const std::string root = pattern + "/";

  for (int i = 0; i < files; ++i) {
    std::string folder = root + "d" + std::to_string(i / perFolder) + "/";
    if (i % perFolder == 0) fs::create_directories(folder);
    std::ofstream(folder + "IMG" + std::to_string(i) + (i % 10 == 0 ? ".jpg" : ".PCD")) << "x";
  }

  const std::vector<std::string> accepted = {"pcd", "pcd1", "pcds", "ppcd"};
  quorbix::InputSet set;
  auto start = std::chrono::steady_clock::now();
  int32_t count = quorbix::importInputs(root, "", accepted, set);
  double scan = secondsSince(start);

  quorbix::InputSet alone;
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < files; ++i) alone.add(root + "d/IMG" + std::to_string(i) + ".PCD", "d/");
  double adds = secondsSince(start);

  std::printf("files=%d imported=%d scan=%.3fs set-adds=%.3fs\n", files, count, scan, adds);
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
