// Our converter against ImageMagick's on the PhotoCD samples, run as the
// pipeline runs them (a separate process per picture):
//   - speed and memory: wall and CPU time (medians of the runs) and peak
//     resident memory of the process, for 16Base, for levels the file lacks,
//     and for the smaller levels (measured first, while this process is
//     still small: a child's peak starts from its parent's size);
//   - quality: PSNR of our picture against ImageMagick's, per sub-image.
//
//   bench_pcd_convert [repetitions] [samples folder]
// Our converter is the `convert` in the build folder; ImageMagick's is
// /usr/bin/convert. Samples default to ../shared/samples beside the source.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Run {
  double ms = 0;
  double peakMb = 0;
  double cpuMs = 0;  // user + system
  int exitCode = -1;
  bool fileLeft = false;
};

Run runOnce(const std::string& program, const std::string& input, const std::string& output) {
  fs::remove(output);
  std::vector<std::string> args = {program, "-quiet", "-colorspace", "sRGB", input, output};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Run run;
  const auto start = Clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) return run;
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  posix_spawn_file_actions_destroy(&actions);
  run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
              (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.fileLeft = fs::exists(output) && fs::file_size(output) > 0;
  return run;
}

// Median time, largest peak, last exit code and whether a file was left.
Run measure(const std::string& program, const std::string& input, const std::string& output, int repetitions) {
  std::vector<double> times, cpu;
  Run summary;
  for (int i = 0; i < repetitions; ++i) {
    const Run r = runOnce(program, input, output);
    times.push_back(r.ms);
    cpu.push_back(r.cpuMs);
    summary.peakMb = std::max(summary.peakMb, r.peakMb);
    summary.exitCode = r.exitCode;
    summary.fileLeft = r.fileLeft;
  }
  std::sort(times.begin(), times.end());
  std::sort(cpu.begin(), cpu.end());
  summary.ms = times[times.size() / 2];
  summary.cpuMs = cpu[cpu.size() / 2];
  return summary;
}

// PSNR of two 24-bit uncompressed Targa files of the same size, rows compared
// in the order they are stored. (ImageMagick 6.9 stores a PhotoCD picture top
// row first but labels it bottom-left, so a loader that honours the label,
// FreeImage among them, would turn its picture upside down; comparing
// stored rows sidesteps that.)
double psnr(const std::string& a, const std::string& b) {
  std::string x, y;
  for (auto [path, data] : {std::pair{&a, &x}, std::pair{&b, &y}}) {
    std::FILE* f = std::fopen(path->c_str(), "rb");
    if (f == nullptr) return -1;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data->append(buffer, n);
    std::fclose(f);
  }
  if (x.size() != y.size() || x.size() < 18 || x.compare(12, 4, y, 12, 4) != 0 || x[16] != 24 || y[16] != 24) return -1;
  double sum = 0;
  for (size_t i = 18; i < x.size(); ++i) {
    const int d = static_cast<uint8_t>(x[i]) - static_cast<uint8_t>(y[i]);
    sum += d * d;
  }
  const double mse = sum / static_cast<double>(x.size() - 18);
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

void print(const char* who, const char* what, const Run& r) {
  std::printf("  %-12s %-28s %8.1f ms wall %8.1f ms cpu %7.1f MB peak  exit %d  %s\n", who, what, r.ms, r.cpuMs,
              r.peakMb, r.exitCode, r.fileLeft ? "file" : "no file");
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const fs::path source = fs::path(__FILE__).parent_path().parent_path();
  const std::string samples = argc > 2 ? argv[2] : (source.parent_path() / "shared" / "samples").string();
  const std::string ours = (fs::canonical("/proc/self/exe").parent_path().parent_path() / "convert").string();
  const std::string theirs = "/usr/bin/convert";
  const std::string portrait = samples + "/portrait-16base.pcd";
  const std::string baseOnly = samples + "/base-only-synthetic.pcd";
  if (!fs::exists(portrait) || !fs::exists(ours)) {
    std::fprintf(stderr, "needs %s and %s\n", portrait.c_str(), ours.c_str());
    return 1;
  }
  const bool haveImageMagick = fs::exists(theirs);
  const fs::path work = fs::temp_directory_path() / ("bench_pcd_" + std::to_string(getpid()));
  fs::create_directories(work);
  const std::string a = (work / "ours.tga").string(), b = (work / "im.tga").string();

  std::printf("Speed and peak memory, median of %d runs:\n", repetitions);
  struct Case {
    const char* what;
    std::string input;
    int imageMagickRuns;
  };
  const Case cases[] = {
      {"portrait 16Base [5]", portrait + "[5]", repetitions},
      {"portrait 4Base [4]", portrait + "[4]", repetitions},
      {"portrait Base [3]", portrait + "[3]", repetitions},
      {"portrait lacks 64Base [6]", portrait + "[6]", 1},
      {"base-only lacks 4Base [4]", baseOnly + "[4]", repetitions},
      {"base-only lacks 16Base [5]", baseOnly + "[5]", repetitions},
  };
  for (const Case& c : cases) {
    print("ours", c.what, measure(ours, c.input, a, repetitions));
    if (haveImageMagick) print("ImageMagick", c.what, measure(theirs, c.input, b, c.imageMagickRuns));
  }

  std::printf("\nPSNR of our picture against ImageMagick's (portrait sample):\n");
  for (int n : {0, 2, 3, 4, 5}) {
    const std::string in = portrait + "[" + std::to_string(n) + "]";
    runOnce(ours, in, a);
    if (haveImageMagick) runOnce(theirs, in, b);
    std::printf("  sub-image %d: %.2f dB\n", n, haveImageMagick ? psnr(a, b) : -1.0);
  }

  fs::remove_all(work);
  return 0;
}
