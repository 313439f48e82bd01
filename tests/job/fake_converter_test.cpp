// The test stand-in for the outside converter must log hostile arguments
// faithfully and deliver its Targa only for the chosen indices.
#include "support/fake_converter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/test_paths.h"

namespace quorbix::test {
namespace {

void writeFile(const std::string& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int runScript(const std::string& folder, const std::vector<std::string>& args) {
  std::string command = shellQuote(folder + "convert");
  for (const auto& a : args) command.append(1, ' ').append(shellQuote(a));
  return std::system(command.c_str());
}

TEST(FakeConverter, LogsArgumentsAndDeliversChosenIndices) {
  TempFolder tmp;
  writeFile(tmp.path() + "default.tga", "DEFAULT");
  FakeConverterOptions options;
  options.targa = tmp.path() + "default.tga";
  options.indices = {5};
  ASSERT_TRUE(writeFakeConverter(tmp.path(), options));

  std::string hostile = tmp.path() + "it's $(touch pwned) \"a\"\nb [1].pcd";
  std::string out = tmp.path() + "out.tga";
  runScript(tmp.path(), {"-quiet", "-colorspace", "sRGB", hostile + "[6]", out});
  EXPECT_FALSE(std::ifstream(out).good());
  runScript(tmp.path(), {"-quiet", "-colorspace", "sRGB", hostile + "[5]", out});
  EXPECT_EQ(readFile(out), "DEFAULT");
  EXPECT_FALSE(std::ifstream(tmp.path() + "pwned").good());

  auto runs = readFakeConverterRuns(tmp.path());
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0], (std::vector<std::string>{"-quiet", "-colorspace", "sRGB", hostile + "[6]", out}));
  EXPECT_EQ(runs[1][3], hostile + "[5]");
}

}  // namespace
}  // namespace quorbix::test
