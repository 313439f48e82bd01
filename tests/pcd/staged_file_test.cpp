#include "platform/staged_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/test_paths.h"

namespace quorbix::platform {
namespace {

std::string contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

size_t entries(const std::string& folder) {
  size_t n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder)) ++n;
  return n;
}

TEST(StagedFile, FinalPathShowsNothingUntilCommit) {
  test::TempFolder dir;
  const std::string path = dir.path() + "x.tga";
  StagedFile file;
  ASSERT_TRUE(file.open(path));
  ASSERT_TRUE(file.write("abc", 3));
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(file.commit());
  EXPECT_EQ(contents(path), "abc");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(StagedFile, AbandonedWriteKeepsTheEarlierFileAndLeavesNoTemporary) {
  test::TempFolder dir;
  const std::string path = dir.path() + "x.tga";
  std::ofstream(path) << "old";
  {
    StagedFile file;
    ASSERT_TRUE(file.open(path));
    ASSERT_TRUE(file.write("new", 3));
  }  // destroyed without commit, like a writer that failed midway
  EXPECT_EQ(contents(path), "old");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(StagedFile, FailsInAMissingFolder) {
  test::TempFolder dir;
  StagedFile file;
  EXPECT_FALSE(file.open(dir.path() + "missing/x.tga"));
  EXPECT_FALSE(file.write("a", 1));
  EXPECT_FALSE(file.commit());
}

TEST(StagedFile, StreamWritesReachTheFinalPathOnlyOnCommit) {
  test::TempFolder dir;
  const std::string path = dir.path() + "x.tiff";
  std::ofstream(path) << "old";
  {
    StagedFile failed;
    ASSERT_TRUE(failed.open(path));
    std::FILE* stream = failed.stream(16);
    ASSERT_NE(stream, nullptr);
    ASSERT_GE(std::fputs("half a picture", stream), 0);
  }  // abandoned: its stream and buffer go, the earlier file stays
  EXPECT_EQ(contents(path), "old");
  EXPECT_EQ(entries(dir.path()), 1u);

  StagedFile file;
  ASSERT_TRUE(file.open(path));
  std::FILE* stream = file.stream(16);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(file.stream(16), stream);
  const std::string picture(100, 'p');  // more than the buffer holds
  ASSERT_EQ(std::fwrite(picture.data(), 1, picture.size(), stream), picture.size());
  ASSERT_TRUE(file.write("q", 1));
  EXPECT_EQ(contents(path), "old");
  ASSERT_TRUE(file.commit(StagedFile::Flush::ToDisk));
  EXPECT_EQ(contents(path), picture + "q");
  EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(StagedFile, NewHiddenFileInTheSameFolder) {
  test::TempFolder root;
  namespace fs = std::filesystem;
  const std::string target = root.path() + "IMG0001.tiff";
  StagedFile a, b;
  ASSERT_TRUE(a.open(target));
  ASSERT_TRUE(b.open(target));
  const std::string first = a.stagingPath(), second = b.stagingPath();
  EXPECT_NE(first, second);
  EXPECT_EQ(fs::path(first).parent_path(), fs::path(target).parent_path());
  EXPECT_EQ(fs::path(first).filename().string()[0], '.');
  mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat(first.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
  a.abandon();
  b.abandon();
  StagedFile missing;
  EXPECT_FALSE(missing.open(root.path() + "missing/x.tiff"));
}

}  // namespace
}  // namespace quorbix::platform
