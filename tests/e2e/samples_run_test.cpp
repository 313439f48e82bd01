// Whole runs on the real PhotoCD samples with the converter built beside
// quorbix. Skipped when the samples or the converter are absent.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e_support.h"
#include "support/program_runner.h"
#include "support/test_paths.h"

namespace quorbix::test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

TEST(SamplesRun, RealPicturesConvertAndATruncatedOneDoesNot) {
  const std::string samples = samplesDir();
  if (samples.empty()) GTEST_SKIP() << "no PhotoCD samples";
  if (builtConverter().empty()) GTEST_SKIP() << "the converter is not built";
  TempFolder tmp;
  const std::string out = tmp.path() + "out/";
  const std::string temp = tmp.path() + "tmp/";
  fs::create_directory(out);
  fs::create_directory(temp);
  // The samples are used where they lie, through a list file.
  std::ofstream(tmp.path() + "samples.lst")
      << samples << "portrait-16base.pcd\n"
      << samples << "base-only-synthetic.pcd\n"
      << samples << "truncated-header.pcd\n";

  RunOptions options;
  options.withConverter = true;
  options.env = {{"TMPDIR", temp}};
  RunResult r = runQuorbix({"-i", tmp.path() + "samples.lst", "-o", out}, options);
  EXPECT_EQ(r.exitCode, 0);
  ASSERT_GE(r.lines.size(), 2u);
  EXPECT_EQ(Lines(r.lines.end() - 2, r.lines.end()),
            (Lines{"Conversion complete", "Files converted: 2 of 3"}))
      << r.out;

  auto portrait = readTiff(out + "portrait-16base.tiff");
  ASSERT_TRUE(portrait.has_value());
  EXPECT_EQ(portrait->width, 2048);
  EXPECT_EQ(portrait->height, 3072);
  EXPECT_EQ(portrait->bpp, 24);
  auto base = readTiff(out + "base-only-synthetic.tiff");
  ASSERT_TRUE(base.has_value());
  EXPECT_EQ(base->width, 768);
  EXPECT_EQ(base->height, 512);
  EXPECT_FALSE(fs::exists(out + "truncated-header.tiff"));
  EXPECT_TRUE(fs::is_empty(temp));
}

}  // namespace
}  // namespace quorbix::test
