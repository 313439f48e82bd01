// Times the import of a generated folder tree (files spread over sub-folders,
// names in mixed case) up to the point where the conversion has its first
// file: the scan itself, then the first visit of the set (which puts the
// files in name order) and a second visit. Each is run `rounds` times on the
// same tree, which is made once; the best round is reported as well. Wall
// clock and processor time of the process are both shown.
// Also the InputSet alone with as many keys: adds, then the first visit.
// Peak memory of the whole process is printed at the end.
// Usage: bench_import_folder [files=100000] [files-per-folder=200] [rounds=3]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "job/input_import.h"
#include "job/input_set.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of the whole process (all threads): less disturbed than
// the wall clock when other work shares the machine.
double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

long peakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A name that spreads over the order: mixed case and a number not in sequence.
std::string nameOf(int i) {
  std::string name = i % 3 == 0 ? "img_" : (i % 3 == 1 ? "IMG" : "Img");
  name += std::to_string((i * 7919) % 1000003);
  name += i % 10 == 0 ? ".jpg" : (i % 2 == 0 ? ".pcd" : ".PCD");
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int perFolder = argc > 2 ? std::atoi(argv[2]) : 200;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "quorbix-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const std::string root = pattern + "/";

  for (int i = 0; i < files; ++i) {
    std::string folder = root + (i / perFolder % 2 == 0 ? "d" : "D") + std::to_string(i / perFolder) + "/";
    if (i % perFolder == 0) fs::create_directories(folder);
    std::ofstream(folder + nameOf(i)) << "x";
  }

  const std::vector<std::string> accepted = {"pcd", "pcd1", "pcds", "ppcd"};
  double bestTotal = 1e9;
  int32_t count = 0;
  for (int round = 0; round < rounds; ++round) {
    quorbix::InputSet set;
    const double cpuStart = cpuSeconds();
    auto start = std::chrono::steady_clock::now();
    count = quorbix::importInputs(root, "", accepted, set);
    const double scan = secondsSince(start);
    const double cpuScanned = cpuSeconds();
    size_t visited = 0;
    auto visitStart = std::chrono::steady_clock::now();
    set.forEach([&](const quorbix::InputSet::Entry&) { ++visited; });
    const double firstVisit = secondsSince(visitStart);
    const double cpuVisited = cpuSeconds();
    visitStart = std::chrono::steady_clock::now();
    set.forEach([&](const quorbix::InputSet::Entry&) { ++visited; });
    const double secondVisit = secondsSince(visitStart);
    const double total = scan + firstVisit;
    bestTotal = std::min(bestTotal, total);
    std::printf("round %d: files=%d imported=%d scan=%.3fs first-visit=%.3fs second-visit=%.3fs "
                "scan+first-visit=%.3fs (visited %zu); cpu: scan=%.3fs first-visit=%.3fs\n",
                round + 1, files, count, scan, firstVisit, secondVisit, total, visited, cpuScanned - cpuStart,
                cpuVisited - cpuScanned);
  }

  quorbix::InputSet alone;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < files; ++i) alone.add(root + "d/" + nameOf(i), "d/");
  const double adds = secondsSince(start);
  start = std::chrono::steady_clock::now();
  size_t visited = 0;
  alone.forEach([&](const quorbix::InputSet::Entry&) { ++visited; });
  const double visit = secondsSince(start);

  std::printf("best scan+first-visit=%.3fs; set alone: adds=%.3fs first-visit=%.3fs; peak-rss=%ld MB\n",
              bestTotal, adds, visit, peakKilobytes() / 1024);
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
