// The whole run with its console lines, with the per-file conversion, the
// random source and the console replaced.
#include "job/conversion_job.h"

#include <gtest/gtest.h>


#include <set>

#include "job_test_support.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

using Lines = std::vector<std::string>;

struct JobFixture : ::testing::Test {
  test::TempFolder tmp;
  Settings s;
  FormatRegistry registry;
  MessageCatalogue catalogue;
  test::LineRecorder lines;
  std::set<std::string> failing;
  std::vector<std::string> converted;
  bool fontSeenDuringConversion = false;
  bool fontLeftAfterRun = false;
  std::vector<int32_t> seenRandomNumbers;

  void SetUp() override {
    registry.build();
    catalogue.load();
    test::makeFolder(tmp.path() + "in");
    test::makeFolder(tmp.path() + "out");
    s.job.input = tmp.path() + "in";
    s.job.output = tmp.path() + "out";
  }
  std::string picture(const std::string& name) {
    std::string path = tmp.path() + "in/" + name;
    test::writeFile(path, "pcd");
    return path;
  }
  void run(bool quiet) {
    JobServices services;
    services.print = lines.sink();
    services.random = [] { return 4242; };
    services.createFont = [](const drawing::FontRequest& request) {
      return std::make_shared<drawing::Font>(request, 1);
    };
    // Reads the job's run context, as the real conversion does.
    const RunContext* run = nullptr;
    services.convert = [this, &run](FileState& file) {
      converted.push_back(file.inputFile);
      seenRandomNumbers.push_back(file.randomNumber);
      fontSeenDuringConversion = run->watermarkFont != nullptr;
      file.outputPath = s.job.output + "x.tif";
      return failing.count(file.inputFile) == 0;
    };
    ConversionJob job(s, tmp.path(), registry, catalogue, services);
    run = &job.runContext();
    job.run(quiet);
    fontLeftAfterRun = job.runContext().watermarkFont != nullptr;
  }
};

TEST_F(JobFixture, NormalRunWithOneFailure) {
  picture("a.pcd");
  failing.insert(picture("b.pcd"));
  picture("c.PCD");
  picture("notes.txt");
  run(false);
  EXPECT_EQ(lines.lines, (Lines{"Preparing...", "Importing...", "Import complete, new files added: 3",
                                "Converting...", "Conversion complete", "Files converted: 2 of 3"}));
  EXPECT_EQ(converted.size(), 3u);
  EXPECT_EQ(seenRandomNumbers, (std::vector<int32_t>(3, 4242)));
}

TEST_F(JobFixture, EveryFileFailingQuietly) {
  failing.insert(picture("a.pcd"));
  run(true);
  EXPECT_EQ(lines.lines, (Lines{"Conversion stopped"}));
}

TEST_F(JobFixture, QuietSuccessPrintsNothing) {
  picture("a.pcd");
  run(true);
  EXPECT_TRUE(lines.lines.empty());
  EXPECT_EQ(converted.size(), 1u);
}

TEST_F(JobFixture, EmptyFolder) {
  run(false);
  EXPECT_EQ(lines.lines, (Lines{"Preparing...", "Importing...", "Import complete, new files added: 0",
                                "Conversion stopped",
                                "No input file(s) found. Please, add valid file(s) and try again!"}));
  lines.lines.clear();
  s.job.input = tmp.path() + "in";
  run(true);
  EXPECT_EQ(lines.lines, (Lines{"Conversion stopped",
                                "No input file(s) found. Please, add valid file(s) and try again!"}));
  EXPECT_TRUE(converted.empty());
}

TEST_F(JobFixture, SingleFileWithAnotherExtensionFindsNothing) {
  test::writeFile(tmp.path() + "files.list", picture("a.pcd") + "\n");
  s.job.input = tmp.path() + "files.list";
  run(true);
  EXPECT_EQ(lines.lines, (Lines{"Conversion stopped",
                                "No input file(s) found. Please, add valid file(s) and try again!"}));
}

TEST_F(JobFixture, DebugAndQuietTogether) {
  s.job.debug = true;
  std::string a = picture("a.pcd");
  run(true);
  ASSERT_GE(lines.lines.size(), 4u);
  EXPECT_EQ(lines.lines.front(), "Input: " + tmp.path() + "in");
  Lines tail(lines.lines.end() - 4, lines.lines.end());
  EXPECT_EQ(tail, (Lines{"Keep Subfolders: 1", "Processing: " + a,
                         "Saving As: " + tmp.path() + "out/x.tif", "OK"}));
}

TEST_F(JobFixture, FailedValidationImportsNothing) {
  picture("a.pcd");
  s.job.conversion = "TIFF";
  run(false);
  EXPECT_EQ(lines.lines, (Lines{"Preparing...", "Error: Invalid conversion type"}));
  EXPECT_TRUE(converted.empty());
}

TEST_F(JobFixture, WatermarkFontLivesForTheConversionOnly) {
  picture("a.pcd");
  s.watermark.watermark = WATERMARK_TEXT;
  run(true);
  EXPECT_TRUE(fontSeenDuringConversion);
  EXPECT_FALSE(fontLeftAfterRun);
}

}  // namespace
}  // namespace quorbix
