// Times the import of a large list file and reports the peak memory: the
// list holds `lines` lines of 10 bytes each (100 MB for 10 million); of every
// ten lines, `missing` name files that do not exist (all different) and the
// others one of 1000 real PhotoCD files (so each file is named many times).
// Relative lines, read from inside the generated folder.
// Usage: bench_import_list [lines=10000000] [missing=9]
// Peak memory of the whole process: run under /usr/bin/time -v as well.
#include <sys/resource.h>
#include <unistd.h>

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

long peakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const long lines = argc > 1 ? std::atol(argv[1]) : 10000000;
  const long missing = argc > 2 ? std::atol(argv[2]) : 9;
  constexpr int kFiles = 1000;
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "quorbix-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const std::string root = pattern + "/";
  fs::create_directories(root + "f");
  char name[32];
  for (int i = 0; i < kFiles; ++i) {
    std::snprintf(name, sizeof name, "f/%03d.pcd", i);
    std::ofstream(root + name) << "x";
  }
  {
    std::ofstream list(root + "list.txt", std::ios::binary);
    long named = 0;
    for (long i = 0; i < lines; ++i) {
      if (i % 10 >= missing) std::snprintf(name, sizeof name, "f/%03ld.pcd\n", named++ % kFiles);
      else std::snprintf(name, sizeof name, "m/%07ld\n", i % 10000000);
      list << name;
    }
  }
  if (::chdir(root.c_str()) != 0) return 1;
  const long before = peakKilobytes();

  const std::vector<std::string> accepted = {"pcd", "pcd1", "pcds", "ppcd"};
  quorbix::InputSet set;
  auto start = std::chrono::steady_clock::now();
  int32_t count = quorbix::importInputs("", root + "list.txt", accepted, set);
  double import = secondsSince(start);

  std::printf("lines=%ld missing=%ld/10 list-bytes=%llu imported=%d import=%.2fs peak-rss=%ld MB (before import %ld MB)\n",
              lines, missing, static_cast<unsigned long long>(fs::file_size(root + "list.txt")), count,
              import, peakKilobytes() / 1024, before / 1024);
  std::error_code ec;
  fs::remove_all(root, ec);
  return count == kFiles ? 0 : 1;
}
