// A folder run through the real per-file conversion (the fake converter
// script, slow for some files and fast for others) with one job and with
// four: the same console lines, the same standard error and the same
// (Deflate) files, while the four-job run really extracts and encodes files
// side by side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

#include "job/conversion_job.h"
#include "image/library_messages.h"
#include "job_test_support.h"
#include "platform/console.h"
#include "platform/standard_error.h"
#include "support/fake_converter.h"
#include "support/targa.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The same sequence for every run.
RandomSource seededRandom() {
  auto engine = std::make_shared<std::mt19937>(20261208);
  return [engine] { return static_cast<int32_t>(std::uniform_int_distribution<int>(1, 99999)(*engine)); };
}

struct Outcome {
  Lines lines;                               // the job's lines and standard error's, as they came
  std::string console;
  std::map<std::string, std::string> files;  // path below the output folder -> bytes
};

// The inputs besides the slow panorama, below the input folder.
const std::vector<std::string>& otherInputs() {
  static const std::vector<std::string> names = {"good1.pcd",   "good2.pcd",    "good3.pcd",
                                                 "nothing.pcd", "damaged.pcd",  "imagepac.pcd",
                                                 "overrun.pcd", "one/same.pcd", "two/same.pcd"};
  return names;
}

struct JobsRun : ::testing::Test {
  test::TempFolder tmp;
  std::string program = tmp.path() + "prog/";
  std::string in = tmp.path() + "in/";
  std::string out = tmp.path() + "out/";
  std::string temp = tmp.path() + "tmp/";
  std::string savedTmpdir;
  bool hadTmpdir = false;
  // The first input in the run's order: its name comes before all the others.
  const std::string slowPanorama = "a-panorama";

  void SetUp() override {
    for (const std::string& f : {program, program + "fake-targa/", program + "fake-targa/one/",
                                 program + "fake-targa/two/", program + "fake-delay/", in, in + "one/",
                                 in + "two/", out, temp}) {
      fs::create_directory(f);
    }
    if (const char* t = std::getenv("TMPDIR")) {
      hadTmpdir = true;
      savedTmpdir = t;
    }
    ::setenv("TMPDIR", temp.c_str(), 1);
    catchLibraryMessages();
    showLibraryMessages(true);
  }
  void TearDown() override {
    showLibraryMessages(false);
    if (hadTmpdir) ::setenv("TMPDIR", savedTmpdir.c_str(), 1);
    else ::unsetenv("TMPDIR");
  }

  void deliver(const std::string& name, int width, int height) {
    ASSERT_TRUE(test::writeTarga(program + "fake-targa/" + name + ".tga", width, height));
  }
  void slow(const std::string& base, const std::string& seconds) {
    test::writeFile(program + "fake-delay/" + base, seconds);
  }

  // Good files, files failing in different ways, a panorama, one name in two
  // folders; the slow panorama comes first in the run's order, so files
  // after it finish their extraction before it does.
  void makeInputs() {
    deliver("good1", 64, 48);
    deliver("good2", 30, 20);
    deliver("good3", 17, 33);
    deliver("one/same", 40, 30);
    deliver("two/same", 50, 20);
    test::writeTarga(program + "fake-targa/damaged.tga", 200, 100);
    const std::string whole = readBytes(program + "fake-targa/damaged.tga");
    test::writeFile(program + "fake-targa/damaged.tga", whole.substr(0, whole.size() / 2));
    // Run-length data whose last run goes past the picture: the loader has
    // its say about it, and every pixel is set.
    std::string rle(18, '\0');
    rle[2] = 10;
    rle[12] = 100;
    rle[14] = 100;
    rle[16] = 24;
    std::string runs;
    for (int k = 0; k < 78; ++k) runs += std::string("\xFF\x10\x20\x30", 4);  // 128 pixels each
    runs += std::string("\x9F\x10\x20\x30", 4);                              // 32 for the last 16
    test::writeFile(program + "fake-targa/overrun.tga", rle + runs);
    slow("good1", "0.3");
    slow("same", "0.2");
    for (const std::string& name : otherInputs()) test::writeFile(in + name, "not a photo cd");
    // An Image Pac the converter leaves nothing for: the guarded fallback loads it.
    std::string pac(786432, '\0');
    pac.replace(2048, 7, "PCD_IPI");
    test::writeFile(in + "imagepac.pcd", pac);

    deliver(slowPanorama, 1536, 512);  // extracted again at sub-image 3
    slow(slowPanorama, "1");
    test::writeFile(in + slowPanorama + ".pcd", "not a photo cd");
  }

  Outcome runWith(const std::string& jobs) {
    EXPECT_TRUE(test::writeFakeConverter(program, {}));
    fs::remove(test::fakeConverterLog(program));
    Settings s;
    s.job.input = in;
    s.job.output = out;
    s.job.debug = true;
    s.job.jobsGiven = true;
    s.job.jobs = jobs;
    s.naming.filenameMask = "%filename%_%n%_%rnd%_%width%x%height%_%bpp%.%ext%";
    s.save.tiffCompression = TIFFC_DEFLATE;  // encoded ahead, in our own layout
    FormatRegistry registry;
    registry.build();
    MessageCatalogue catalogue;
    catalogue.load();
    // The job's lines go to standard error too, so that they and the library
    // messages and refusals there can be seen in the order they came.
    JobServices services;
    services.print = [](std::string_view line) { platform::printErrorLine(line); };
    services.random = seededRandom();
    ConversionJob job(s, program, registry, catalogue, services);

    Outcome outcome;
    outcome.console = platform::runCatchingStandardError([&] { job.run(false); });
    for (size_t start = 0, end; (end = outcome.console.find('\n', start)) != std::string::npos; start = end + 1) {
      outcome.lines.push_back(outcome.console.substr(start, end - start));
    }
    for (const auto& entry : fs::recursive_directory_iterator(out)) {
      if (entry.is_regular_file()) outcome.files[entry.path().string().substr(out.size())] = readBytes(entry.path());
    }
    EXPECT_EQ(test::namesIn(temp), Lines{}) << "temporary files left behind";
    fs::remove_all(out);
    fs::create_directory(out);
    return outcome;
  }

  // Whether another input's converter started before `base`'s last run.
  // `base` comes first in the run's order and its runs are slow: one job
  // runs them all before anything else; several start other inputs while
  // they go on (under load those may even be logged before its first run).
  bool overlapped(const std::string& base) {
    const auto runs = test::readFakeConverterRuns(program);
    bool otherSeen = false;
    for (const auto& run : runs) {
      const bool own = run.size() == 5 && run[3].find("/" + base + ".pcd[") != std::string::npos;
      if (own && otherSeen) return true;
      otherSeen = otherSeen || !own;
    }
    return false;
  }
};

TEST_F(JobsRun, OneJobAndFourJobsGiveTheSameRun) {
  makeInputs();
  const Outcome one = runWith("1");
  EXPECT_FALSE(overlapped(slowPanorama));
  const Outcome four = runWith("4");
  EXPECT_TRUE(overlapped(slowPanorama)) << "the files were not extracted side by side";

  EXPECT_EQ(four.lines, one.lines);
  EXPECT_TRUE(four.console == one.console);
  ASSERT_EQ(four.files.size(), one.files.size());
  for (const auto& [name, bytes] : one.files) {
    auto found = four.files.find(name);
    ASSERT_NE(found, four.files.end()) << name;
    EXPECT_TRUE(found->second == bytes) << name;
  }

  // And that run is the right one: 8 of 10 converted, each file's own
  // picture, the numbers in input order, the failures reported at their turn.
  ASSERT_GE(one.lines.size(), 2u);
  EXPECT_EQ(one.lines.back(), "Files converted: 8 of 10");
  int processing = 0, notOk = 0;
  for (const std::string& line : one.lines) {
    processing += line.rfind("Processing: ", 0) == 0;
    notOk += line == "Not OK";
  }
  EXPECT_EQ(processing, 10);
  EXPECT_EQ(notOk, 2);
  int counted = 0;
  for (const auto& [name, bytes] : one.files) {
    SCOPED_TRACE(name);
    const std::string base = fs::path(name).filename().string();
    const std::string counter = base.substr(base.find('_') + 1, base.find('_', base.find('_') + 1) - base.find('_') - 1);
    EXPECT_GE(std::stoi(counter), 1);
    EXPECT_LE(std::stoi(counter), 8);
    ++counted;
  }
  EXPECT_EQ(counted, 8);
  bool one40 = false, two50 = false, pano = false, pac = false;
  for (const auto& [name, bytes] : one.files) {
    one40 = one40 || (name.rfind("one/same_", 0) == 0 && name.find("_40x30_24.tiff") != std::string::npos);
    two50 = two50 || (name.rfind("two/same_", 0) == 0 && name.find("_50x20_24.tiff") != std::string::npos);
    pano = pano || (name.rfind(slowPanorama + "_00001_", 0) == 0 && name.find("_1536x512_") != std::string::npos);
    pac = pac || (name.rfind("imagepac_", 0) == 0 && name.find("_768x512_") != std::string::npos);
  }
  EXPECT_TRUE(one40);
  EXPECT_TRUE(two50);
  EXPECT_TRUE(pano) << "the first file is the panorama, with counter 1";
  EXPECT_TRUE(pac);
  // The loader's complaint about the overrun file comes at that file's turn.
  const auto complaint = std::find(one.lines.begin(), one.lines.end(), "Library message: FreeImage TARGA: Image data corrupted");
  ASSERT_NE(complaint, one.lines.end());
  ASSERT_NE(complaint, one.lines.begin());
  EXPECT_EQ(*(complaint - 1), "Processing: " + in + "overrun.pcd");
}

}  // namespace
}  // namespace quorbix
