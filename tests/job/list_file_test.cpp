#include "job/list_file.h"

#include <gtest/gtest.h>

namespace quorbix {
namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(ListFileLines, EveryLineBreakKind) {
  EXPECT_EQ(listFileLines("a\nb\r\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(listFileLines("a\r\n\r\nb\n\n\rc\r\n"), (Lines{"a", "b", "c"}));
  EXPECT_EQ(listFileLines(""), Lines{});
  EXPECT_EQ(listFileLines("\r\n"), Lines{});
}

TEST(ListFileLines, TrimsSpacesButKeepsTabs) {
  EXPECT_EQ(listFileLines("   /x/a.pcd  \n\t/x/b.pcd\n/x/c.pcd\t\n    \n"),
            (Lines{"/x/a.pcd", "\t/x/b.pcd", "/x/c.pcd\t"}));
  EXPECT_EQ(listFileLines("/x/with inner space.pcd"), (Lines{"/x/with inner space.pcd"}));
}

TEST(ListFileLines, SkipsEveryByteOrderMark) {
  EXPECT_EQ(listFileLines("\xEF\xBB\xBF/a.pcd\n"), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines("\xFF\xFE/a.pcd"), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines("\xFE\xFF/a.pcd"), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines("\xFF\xFE\x00\x00/a.pcd"s), (Lines{"/a.pcd"}));
  EXPECT_EQ(listFileLines("\x00\x00\xFE\xFF/a.pcd"s), (Lines{"/a.pcd"}));
  // Only at the very start.
  EXPECT_EQ(listFileLines("/a.pcd\n\xEF\xBB\xBF/b.pcd"), (Lines{"/a.pcd", "\xEF\xBB\xBF/b.pcd"}));
  // Non-ASCII UTF-8 passes unchanged.
  EXPECT_EQ(listFileLines("\xEF\xBB\xBF/fotos/M\xC3\xBCller.pcd"), (Lines{"/fotos/M\xC3\xBCller.pcd"}));
}

TEST(ListFileLines, LinesWithNulBytesNameNothing) {
  // A UTF-16 list read as UTF-8 yields NUL bytes; such a line must not be
  // cut short at its first NUL into some other, existing path.
  EXPECT_EQ(listFileLines("\xFF\xFEx\0.\0p\0c\0d\0\n/ok.pcd\n"s), (Lines{"/ok.pcd"}));
}

}  // namespace
}  // namespace quorbix
