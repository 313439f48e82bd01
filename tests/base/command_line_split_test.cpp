#include "base/command_line_split.h"

#include <gtest/gtest.h>

namespace quorbix {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLineSplit, FoldersEndingInABackslashAsBatchFilesWriteThem) {
  EXPECT_EQ(splitCommandLine(R"(quorbix.exe -i "C:\photos\with space\" -o "C:\out\")"),
            (Words{"quorbix.exe", "-i", R"(C:\photos\with space\)", "-o", R"(C:\out\)"}));
  EXPECT_EQ(splitCommandLine(R"("C:\Program Files\q.exe"  --wm-text="a \"b c" x\\"y z")"),
            (Words{R"(C:\Program Files\q.exe)", R"(--wm-text=a \b)", R"(c x\\y)", "z"}));
}

TEST(CommandLineSplit, QuotesOpeningAWordEndItOthersJoinStretches) {
  EXPECT_EQ(splitCommandLine(R"(p "a b"c d"e f"g "" "open end)"),
            (Words{"p", "a b", "c", "de fg", "", "open end"}));
  EXPECT_EQ(splitCommandLine(R"(p x"y)"), (Words{"p", "xy"}));
  EXPECT_EQ(splitCommandLine("   "), Words{});
  EXPECT_EQ(splitCommandLine("p\ttab  "), (Words{"p\ttab"}));
}

}  // namespace
}  // namespace quorbix
