#include "job/conversion_worker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <set>

#include "job_test_support.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

using test::LineRecorder;

// A per-file conversion that writes "<output><relative><name>.tif" for the
// files it is told to succeed on and records what it saw.
struct FakeConversion {
  std::set<std::string> failing;             // input paths that fail
  std::set<std::string> failBeforeNaming;    // fail without setting outputPath
  std::vector<std::pair<int32_t, int32_t>> seenCounters;  // (randomNumber, fileCounter)

  ConvertOneFile function(const Settings& s) {
    return [this, &s](FileState& f) {
      seenCounters.emplace_back(f.randomNumber, f.fileCounter);
      if (failBeforeNaming.count(f.inputFile)) return false;
      std::string name = f.inputFile.substr(f.inputFile.rfind('/') + 1) + ".tif";
      f.outputPath = s.job.output + (s.naming.noSubfolders ? "" : f.relativeFolder) + name;
      if (failing.count(f.inputFile)) return false;
      std::ofstream out(f.outputPath, std::ios::binary);
      out << "tiff";
      return static_cast<bool>(out.flush());
    };
  }
};

RandomSource sequence(std::vector<int32_t> values) {
  auto next = std::make_shared<size_t>(0);
  return [values, next]() { return values[(*next)++ % values.size()]; };
}

struct WorkerFixture : ::testing::Test {
  test::TempFolder tmp;
  Settings settings;
  RunContext runContext;
  FileNumbers numbers;  // the first file's before a run, the next file's after it
  InputSet inputs;
  FakeConversion conversion;
  LineRecorder lines;

  void SetUp() override {
    settings.job.output = tmp.path() + "out/";
    test::makeFolder(settings.job.output);
    test::makeFolder(tmp.path() + "in");
  }
  std::string input(const std::string& name, const std::string& relative = "") {
    std::string path = tmp.path() + "in/" + name;
    test::writeFile(path, "pcd");
    inputs.add(path, relative);
    return path;
  }
  int32_t run(RandomSource random = sequence({7})) {
    ConversionWorker worker(settings, runContext, inputs, conversion.function(settings),
                            std::move(random), lines.sink(), numbers);
    const int32_t converted = worker.run();
    numbers = worker.numbers();
    return converted;
  }
};

TEST_F(WorkerFixture, CountsSuccessesAndGoesOnAfterFailures) {
  input("a.pcd");
  std::string b = input("b.pcd");
  input("c.pcd");
  conversion.failing = {b};
  EXPECT_EQ(run(), 2);
  EXPECT_TRUE(lines.lines.empty());  // nothing printed outside debug mode
  EXPECT_FALSE(platform::exists(settings.job.output + "b.pcd.tif"));
}

TEST_F(WorkerFixture, CountersAdvanceOnlyAfterSuccess) {
  std::vector<std::string> paths;
  for (const char* n : {"1.pcd", "2.pcd", "3.pcd", "4.pcd", "5.pcd"}) paths.push_back(input(n));
  // Fail the second and third file in iteration order.
  std::vector<std::string> order;
  inputs.forEach([&](const InputSet::Entry& e) { order.push_back(e.path); });
  conversion.failing = {order[1], order[2]};
  numbers.randomNumber = 500;
  numbers.fileCounter = 1;
  EXPECT_EQ(run(sequence({11, 22, 33})), 3);
  EXPECT_EQ(conversion.seenCounters,
            (std::vector<std::pair<int32_t, int32_t>>{{500, 1}, {11, 2}, {11, 2}, {11, 2}, {22, 3}}));
  EXPECT_EQ(numbers.fileCounter, 4);
  EXPECT_EQ(numbers.randomNumber, 33);
}

TEST_F(WorkerFixture, DebugLinesPerFile) {
  settings.job.debug = true;
  settings.naming.filenameMask = "named.tif";
  std::string ok = input("ok.pcd");
  std::string bad = input("bad.pcd");
  std::string early = input("early.pcd", "sub/");
  conversion.failing = {bad};
  conversion.failBeforeNaming = {early};
  EXPECT_EQ(run(), 1);

  std::vector<std::string> expected;
  inputs.forEach([&](const InputSet::Entry& e) {
    expected.push_back("Processing: " + e.path);
    if (e.path == early) {
      // Failed before naming its output: the path it would have had, never
      // the previous file's.
      expected.push_back("Saving As: " + settings.job.output + "sub/named.tif");
      expected.push_back("Not OK");
    } else {
      std::string name = e.path.substr(e.path.rfind('/') + 1) + ".tif";
      expected.push_back("Saving As: " + settings.job.output + name);
      expected.push_back(e.path == ok ? "OK" : "Not OK");
    }
  });
  EXPECT_EQ(lines.lines, expected);
}

TEST_F(WorkerFixture, EachFileStartsFromTheRunsValuesOnly) {
  input("a.pcd");
  input("b.pcd");
  input("c.pcd");
  runContext.targetBpp = 8;
  std::vector<FileState> seen;
  ConvertOneFile settle = [&](FileState& f) {
    seen.push_back(f);
    // What a conversion settles for its file must not reach the next one.
    f.outputPath = f.inputFile + ".tif";
    f.sourceDepth = 24;
    f.targetBpp = 32;
    f.resizedWidth = 640;
    f.resizedHeight = 480;
    return false;
  };
  ConversionWorker worker(settings, runContext, inputs, settle, sequence({7}), lines.sink());
  EXPECT_EQ(worker.run(), 0);
  ASSERT_EQ(seen.size(), 3u);
  for (const FileState& f : seen) {
    EXPECT_TRUE(f.outputPath.empty()) << f.inputFile;
    EXPECT_EQ(f.sourceDepth, 0) << f.inputFile;
    EXPECT_EQ(f.targetBpp, 8) << f.inputFile;
    EXPECT_EQ(f.resizedWidth, 0) << f.inputFile;
    EXPECT_EQ(f.resizedHeight, 0) << f.inputFile;
    EXPECT_EQ(f.fileCounter, 1) << f.inputFile;
  }
}

TEST_F(WorkerFixture, SubFoldersAreCreatedUnlessSwitchedOff) {
  input("z.pcd", "2019/summer/");
  input("y.pcd", "2019/");
  EXPECT_EQ(run(), 2);
  EXPECT_TRUE(platform::isFile(settings.job.output + "2019/summer/z.pcd.tif"));
  EXPECT_TRUE(platform::isFile(settings.job.output + "2019/y.pcd.tif"));

  test::TempFolder other;
  settings.job.output = other.path();
  settings.naming.noSubfolders = true;
  EXPECT_EQ(run(), 2);
  EXPECT_FALSE(platform::exists(other.path() + "2019"));
  EXPECT_TRUE(platform::isFile(other.path() + "z.pcd.tif"));
}

TEST(CreateOutputSubfolders, CreatesMissingLevelsAndToleratesFailure) {
  test::TempFolder tmp;
  Settings s;
  FileState f;
  s.job.output = tmp.path();
  f.relativeFolder = "a/b c/\xC3\xA9t\xC3\xA9/";
  createOutputSubfolders(s, f);
  EXPECT_TRUE(platform::isFolder(tmp.path() + "a/b c/\xC3\xA9t\xC3\xA9/"));
  // A file standing where a level should be: nothing is created past it,
  // and nothing is reported.
  test::writeFile(tmp.path() + "blocker", "x");
  f.relativeFolder = "blocker/inner/";
  createOutputSubfolders(s, f);
  EXPECT_FALSE(platform::exists(tmp.path() + "blocker/inner"));
  f.relativeFolder = "";
  createOutputSubfolders(s, f);  // the output folder itself: nothing to do
}

TEST_F(WorkerFixture, OriginalTimeIsCopiedToTheSecond) {
  std::string a = input("a.pcd");
  std::string b = input("b.pcd");
  conversion.failing = {b};
  // A failed file's output exists here but must not be touched.
  test::writeFile(settings.job.output + "b.pcd.tif", "old");
  ASSERT_TRUE(platform::setLastWriteTime(a, 1000000007));
  ASSERT_TRUE(platform::setLastWriteTime(b, 1000000007));
  ASSERT_TRUE(platform::setLastWriteTime(settings.job.output + "b.pcd.tif", 1200000000));
  settings.naming.fileTimestamp = TIMESTAMP_ORIGINAL;
  EXPECT_EQ(run(), 1);
  EXPECT_EQ(platform::lastWriteTime(settings.job.output + "a.pcd.tif"), 1000000007);
  EXPECT_EQ(platform::lastWriteTime(settings.job.output + "b.pcd.tif"), 1200000000);
}

TEST_F(WorkerFixture, CustomTimeIsALocalDateValue) {
  input("a.pcd");
  settings.naming.fileTimestamp = TIMESTAMP_CUSTOM;
  settings.naming.fileTimestampCustom = 1262347200;  // 2010-01-01 12:00:00 local
  // One hour east of UTC, without summer time in January: the file must get
  // 11:00:00 UTC, not 12:00:00.
  std::string savedTz = std::getenv("TZ") ? std::getenv("TZ") : "";
  bool hadTz = std::getenv("TZ") != nullptr;
  ::setenv("TZ", "CET-1", 1);
  ::tzset();
  int32_t converted = run();
  if (hadTz) {
    ::setenv("TZ", savedTz.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  EXPECT_EQ(converted, 1);
  EXPECT_EQ(platform::lastWriteTime(settings.job.output + "a.pcd.tif"), 1262347200 - 3600);
}

TEST_F(WorkerFixture, CurrentTimeLeavesTheOutputAsWritten) {
  input("a.pcd");
  settings.naming.fileTimestamp = TIMESTAMP_CURRENT;
  int64_t before = platform::unixNow();
  EXPECT_EQ(run(), 1);
  auto written = platform::lastWriteTime(settings.job.output + "a.pcd.tif");
  ASSERT_TRUE(written.has_value());
  EXPECT_GE(*written, before - 1);
}

}  // namespace
}  // namespace quorbix
