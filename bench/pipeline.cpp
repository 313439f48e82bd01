// Speed and memory of the per-file pipeline outside the converter.
//
// Converts a folder of N inputs (default 20) with a converter that only
// copies a prepared 2048 x 3072 Targa, and reports files per second, the
// time per file spent outside the converter and the 30 ms pauses (which are
// counted, not slept), and the peak resident memory after the first file and
// at the end, which should not grow with N.
//
//   bench_pipeline [N] [--compression lzw]
#include <FreeImage.h>
#include <sys/resource.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "convert/convert_file.h"
#include "platform/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// CPU time of the whole process (user and system), in seconds: the machine
// may be shared, so wall time alone says little.
double processCpuSeconds() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds() {
  struct timespec now {};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

long peakKilobytes() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

class CopyingConverter : public quorbix::ConverterRunner {
 public:
  explicit CopyingConverter(std::string prepared) : prepared_(std::move(prepared)) {}
  quorbix::ConverterOutcome run(const std::vector<std::string>& arguments) override {
    Clock::time_point start = Clock::now();
    double cpuStart = threadCpuSeconds();
    std::error_code ec;
    fs::copy_file(prepared_, arguments.back(), fs::copy_options::overwrite_existing, ec);
    converterSeconds += secondsSince(start);
    converterCpuSeconds += threadCpuSeconds() - cpuStart;
    ++runs;
    return quorbix::ConverterOutcome::Ended;
  }
  void pause(int milliseconds) override { pausedMilliseconds += milliseconds; }

  double converterSeconds = 0;
  double converterCpuSeconds = 0;
  long pausedMilliseconds = 0;
  int runs = 0;

 private:
  std::string prepared_;
};

bool writePrepared(const std::string& path) {
  const int width = 2048, height = 3072;
  FIBITMAP* image = FreeImage_Allocate(width, height, 24);
  if (image == nullptr) return false;
  for (int y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(image, y);
    for (int x = 0; x < width; ++x) {
      line[x * 3 + 0] = static_cast<BYTE>(x ^ y);
      line[x * 3 + 1] = static_cast<BYTE>(x + y);
      line[x * 3 + 2] = static_cast<BYTE>(y);
    }
  }
  bool ok = FreeImage_Save(FIF_TARGA, image, path.c_str(), TARGA_DEFAULT) != FALSE;
  FreeImage_Unload(image);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  int files = 20;
  int32_t saveFlags = TIFF_NONE;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--compression") == 0 && i + 1 < argc && std::strcmp(argv[++i], "lzw") == 0) {
      saveFlags = TIFF_LZW;
    } else if (std::atoi(argv[i]) > 0) {
      files = std::atoi(argv[i]);
    }
  }

  quorbix::platform::TemporaryFolder work;   // inputs, outputs, prepared picture
  quorbix::platform::TemporaryFolder scratch;  // the pipeline's temporary folder
  if (work.path().empty() || scratch.path().empty()) return 1;
  const std::string in = work.path() + "in/", out = work.path() + "out/";
  fs::create_directory(in);
  fs::create_directory(out);
  const std::string prepared = work.path() + "prepared.tga";
  if (!writePrepared(prepared)) return 1;
  for (int i = 0; i < files; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG%04d.PCD", i + 1);
    std::ofstream(in + name) << "PhotoCD stand-in";
  }

  quorbix::FormatRegistry registry;
  registry.build();
  quorbix::Settings settings;
  quorbix::RunContext run;
  quorbix::FileState file;
  settings.job.conversion = "tiff";
  run.outputFormatId = FIF_TIFF;
  run.saveFlags = saveFlags;
  run.keepSourceDepth = true;
  settings.job.output = out;
  CopyingConverter converter(prepared);
  quorbix::ConvertContext context{settings, run, file, registry, converter, scratch.path()};

  long peakAfterFirst = 0;
  int converted = 0;
  Clock::time_point start = Clock::now();
  const double cpuStart = processCpuSeconds();
  for (int i = 0; i < files; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG%04d.PCD", i + 1);
    file.inputFile = in + name;
    converted += quorbix::convertFile(context) ? 1 : 0;
    if (i == 0) peakAfterFirst = peakKilobytes();
  }
  const double total = secondsSince(start);
  const double outside = total - converter.converterSeconds;
  const double outsideCpu = processCpuSeconds() - cpuStart - converter.converterCpuSeconds;

  std::printf("files: %d, converted: %d, converter runs: %d\n", files, converted, converter.runs);
  std::printf("files per second (pauses not slept): %.1f\n", files / total);
  std::printf("files per second (with the %ld ms of pauses): %.1f\n", converter.pausedMilliseconds,
              files / (total + converter.pausedMilliseconds / 1000.0));
  std::printf("per file: %.1f ms outside the converter, %.1f ms in it (copying 18 MB)\n",
              1000.0 * outside / files, 1000.0 * converter.converterSeconds / files);
  std::printf("per file CPU time outside the converter: %.1f ms\n", 1000.0 * outsideCpu / files);
  std::printf("peak memory: %.1f MB after the first file, %.1f MB at the end\n", peakAfterFirst / 1024.0,
              peakKilobytes() / 1024.0);
  return converted == files ? 0 : 1;
}
