#include "base/path_order.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quorbix {
namespace {

// Every path of `paths` comes before each one after it, both ways round.
void expectInOrder(const std::vector<std::string>& paths) {
  for (size_t i = 0; i < paths.size(); ++i) {
    EXPECT_EQ(comparePathsByName(paths[i], paths[i]), 0) << paths[i];
    for (size_t j = i + 1; j < paths.size(); ++j) {
      EXPECT_LT(comparePathsByName(paths[i], paths[j]), 0) << paths[i] << " before " << paths[j];
      EXPECT_GT(comparePathsByName(paths[j], paths[i]), 0) << paths[j] << " after " << paths[i];
    }
  }
}

TEST(PathOrder, LettersWithoutRegardToCase) {
  expectInOrder({"/p/abc.pcd", "/p/ABD.pcd", "/p/abe.pcd", "/p/B.pcd", "/p/c.pcd"});
  // The folded letters decide before the exact bytes do.
  EXPECT_LT(comparePathsByName("ab", "AC"), 0);
  EXPECT_GT(comparePathsByName("AC", "ab"), 0);
}

TEST(PathOrder, LettersComeBeforeUnderscoreAndTheOthersAfterZ) {
  // Upper case first: '@' comes before the letters; '[' .. '`' and '{' after them.
  expectInOrder({"x@", "xa", "xZ", "x[", "x_", "x`", "x{"});
  expectInOrder({"IMG1.PCD", "img2.pcd", "IMGA.pcd", "imgz.pcd", "IMG_1.PCD", "img_2.pcd"});
}

TEST(PathOrder, FolderByFolderAndShorterNamesFirst) {
  // A name that is the start of another comes first, and each folder is
  // compared whole before what is inside it: "a b" after "a" although ' '
  // is a smaller byte than '/'.
  expectInOrder({"a", "a/b", "a/b/x.pcd", "a/c.pcd", "a b/x.pcd", "a.pcd", "a_b.pcd", "b"});
  expectInOrder({"/in/a/b/x.pcd", "/in/a/C.pcd", "/in/A.pcd", "/in/ab/a.pcd"});
}

TEST(PathOrder, OtherBytesAsUnsignedAndNotFolded) {
  // 0xC3 0x89 is "É" and 0xC3 0xA9 is "é" in UTF-8: after every ASCII byte,
  // and not brought to one case.
  expectInOrder({"a", "z", "~", "\x7F", "\xC3\x89.pcd", "\xC3\xA9.pcd", "\xFF"});
}

TEST(PathOrder, PathsEqualButForCaseByTheirExactBytes) {
  expectInOrder({"/p/A.pcd", "/p/a.PCD", "/p/a.pcd"});
  expectInOrder({"Ab", "aB"});
  EXPECT_NE(comparePathsByName("abc", "ABC"), 0);
  EXPECT_EQ(comparePathsByName("", ""), 0);
  EXPECT_LT(comparePathsByName("", "a"), 0);
}

TEST(PathOrder, BackslashSeparatesOnlyWhenItIsTheSystemsSeparator) {
  // As "/" alone separates (Linux): a backslash is the ordinary byte 0x5C,
  // after ' ' and '.'.
  expectInOrder({"a b", "a.pcd", "a\\b"});
  // With the backslash as a second separator (Windows): folder by folder again,
  // either separator; the two spellings of one path still differ.
  const std::vector<std::string> windows = {"C:\\in\\a", "C:\\in\\a\\b", "C:\\in\\a/c.pcd",
                                            "C:\\in\\a b", "C:\\in\\a.pcd"};
  for (size_t i = 0; i < windows.size(); ++i) {
    for (size_t j = i + 1; j < windows.size(); ++j) {
      EXPECT_LT(comparePathsByName(windows[i], windows[j], '\\'), 0) << windows[i] << " before " << windows[j];
      EXPECT_GT(comparePathsByName(windows[j], windows[i], '\\'), 0) << windows[j] << " after " << windows[i];
      const uint64_t ki = pathOrderKey(windows[i], 5, '\\');
      const uint64_t kj = pathOrderKey(windows[j], 5, '\\');
      EXPECT_LE(ki, kj) << windows[i] << " / " << windows[j];
    }
  }
  EXPECT_NE(comparePathsByName("a\\b", "a/b", '\\'), 0);
  EXPECT_EQ(pathOrderKey("a\\b", 0, '\\'), pathOrderKey("a/b", 0, '\\'));
}

TEST(PathOrder, KeysNeverContradictTheComparison) {
  const std::vector<std::string> paths = {"/in/a",        "/in/a/",      "/in/A/b",      "/in/a b/x", "/in/a.pcd",
                                          "/in/a_b.pcd", "/in/ABCDEFGH", "/in/abcdefgh", "/in/\x01",  "/in/\xFF",
                                          "/in/img1",    "/in/IMG2.pcd", "/in/"};
  int told = 0;
  for (const auto& a : paths) {
    for (const auto& b : paths) {
      const uint64_t ka = pathOrderKey(a, 4);
      const uint64_t kb = pathOrderKey(b, 4);
      if (ka == kb) continue;
      ++told;
      EXPECT_EQ(ka < kb, comparePathsByName(a, b) < 0) << a << " / " << b;
    }
  }
  EXPECT_GT(told, 100);
  // Only eight bytes count, in any case.
  EXPECT_EQ(pathOrderKey("/in/abcdefgh1", 4), pathOrderKey("/in/ABCDEFGH2", 4));
}

}  // namespace
}  // namespace quorbix
