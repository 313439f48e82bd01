// Runs the built `convert` as quorbix does and checks what it leaves behind.
#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "pcd_writer/pcd_writer.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

const std::string kConvert = std::string(QUORBIX_BINARY_DIR) + "/convert";

// Runs the converter with these arguments (no shell word splitting: each is
// single-quoted); returns its exit status.
int runConvert(const std::vector<std::string>& args) {
  std::string command = "'" + kConvert + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  command += " 2>/dev/null";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runContract(const std::string& input, int n, const std::string& output) {
  return runConvert({"-quiet", "-colorspace", "sRGB", input + "[" + std::to_string(n) + "]", output});
}

std::vector<std::string> folderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct Loaded {
  unsigned width = 0, height = 0;
  std::vector<uint8_t> topLeft, bottomRight;  // B, G, R
};

Loaded loadTarga(const std::string& path) {
  Loaded l;
  FIBITMAP* dib = FreeImage_Load(FIF_TARGA, path.c_str(), 0);
  if (dib == nullptr) return l;
  l.width = FreeImage_GetWidth(dib);
  l.height = FreeImage_GetHeight(dib);
  const BYTE* top = FreeImage_GetScanLine(dib, static_cast<int>(l.height - 1));  // FreeImage rows run bottom-up
  const BYTE* bottom = FreeImage_GetScanLine(dib, 0);
  l.topLeft.assign(top, top + 3);
  l.bottomRight.assign(bottom + 3 * (l.width - 1), bottom + 3 * l.width);
  FreeImage_Unload(dib);
  return l;
}

class ConvertProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(kConvert)) << kConvert;
    pcd_writer::PcdWriteOptions options;
    options.topLevel = pcd::Level::FourBase;
    options.rotation = pcd::Rotation::Quarter;
    input_ = dir_.path() + "in put [1].pcd";
    std::ofstream(input_, std::ios::binary) << pcd_writer::writePcd(pcd_writer::syntheticPicture(pcd::Level::FourBase, true), options);
    std::filesystem::create_directory(dir_.path() + "out");
    out_ = dir_.path() + "out/";
  }
  test::TempFolder dir_;
  std::string input_;
  std::string out_;
};

TEST_F(ConvertProgram, WritesTheUprightSubImageAsTarga) {
  ASSERT_EQ(runContract(input_, 4, out_ + "x.tga"), 0);
  const Loaded l = loadTarga(out_ + "x.tga");
  EXPECT_EQ(l.width, 1024u);
  EXPECT_EQ(l.height, 1536u);
  // Upright: sky (blue above red) at the top left, the stripes' dark or
  // light grey at the bottom right.
  ASSERT_EQ(l.topLeft.size(), 3u);
  EXPECT_GT(l.topLeft[0], l.topLeft[2] + 60);
  EXPECT_NEAR(l.bottomRight[0], l.bottomRight[2], 40);
  EXPECT_EQ(folderNames(out_), std::vector<std::string>{"x.tga"});  // nothing else left behind

  ASSERT_EQ(runContract(input_, 0, out_ + "x.tga"), 0);  // replaces the earlier file
  EXPECT_EQ(loadTarga(out_ + "x.tga").width, 128u);
}

TEST_F(ConvertProgram, MissingLevelLeavesNoFileAndFails) {
  EXPECT_EQ(runContract(input_, 5, out_ + "x.tga"), 1);
  EXPECT_EQ(runContract(input_, 6, out_ + "x.tga"), 1);
  EXPECT_EQ(runContract(dir_.path() + "absent.pcd", 3, out_ + "x.tga"), 1);
  std::ofstream(dir_.path() + "short.pcd") << "PCD";
  EXPECT_EQ(runContract(dir_.path() + "short.pcd", 3, out_ + "x.tga"), 1);
  EXPECT_TRUE(folderNames(out_).empty());
}

// Status 3, not 1: a lower level could not be written either.
TEST_F(ConvertProgram, UnwritableOutputLeavesNothing) {
  EXPECT_EQ(runContract(input_, 3, out_ + "no such folder/x.tga"), 3);
  EXPECT_TRUE(folderNames(out_).empty());
}

TEST_F(ConvertProgram, OtherArgumentsGiveUsageAndNoFile) {
  EXPECT_EQ(runConvert({}), 2);
  EXPECT_EQ(runConvert({input_ + "[3]", out_ + "x.tga"}), 2);
  EXPECT_EQ(runConvert({"-quiet", "-colorspace", "sRGB", input_ + "[9]", out_ + "x.tga"}), 2);
  EXPECT_EQ(runConvert({"-quiet", "-colorspace", "sRGB", input_, out_ + "x.tga"}), 2);
  EXPECT_TRUE(folderNames(out_).empty());
  // The usage line goes to standard error.
  const std::string log = dir_.path() + "stderr.txt";
  std::system(("'" + kConvert + "' -h 2>'" + log + "'").c_str());
  std::ifstream in(log);
  std::string line;
  std::getline(in, line);
  EXPECT_NE(line.find("usage:"), std::string::npos) << line;
}

}  // namespace
}  // namespace quorbix
