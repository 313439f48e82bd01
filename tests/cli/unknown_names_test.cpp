// Runs the built quorbix with a mistyped option, keyword or profile key: each
// mistake gives one "Warning:" line on standard error, and standard output is
// that of a run that spells out what the program does instead.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/program_runner.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

using Args = std::vector<std::string>;

struct Mistake {
  Args mistaken;
  Args meant;  // what the program does with the mistake
  std::string warning;
};

TEST(UnknownNames, EachMistakeIsNamedOnStandardErrorOnly) {
  test::TempFolder folder;
  const std::string& dir = folder.path();
  ASSERT_TRUE(platform::createFolder(dir + "in"));
  const std::string profile = dir + "p.ini";
  ASSERT_TRUE(platform::writeWholeFile(profile, "[CLI]\n; colour model\n--TIFF-COLOUR-MODEL=CMYK\n--FLIP-VERTICAL\n"));

  const Mistake mistakes[] = {
      {{"--tiff-compresion=LZW"}, {}, "Unknown option --tiff-compresion=LZW, ignored"},
      {{"--file-timestamp=ORIGNAL"}, {"--file-timestamp=CURRENT"},
       "Unknown keyword ORIGNAL for --file-timestamp, CURRENT is used"},
      {{"--pcd-tone=FULRANGE"}, {"--pcd-tone=DISPLAY"}, "Unknown keyword FULRANGE for --pcd-tone, DISPLAY is used"},
      {{"--tiff-compression=LZW2"}, {"--tiff-compression=NONE"},
       "Unknown keyword LZW2 for --tiff-compression, NONE is used"},
      {{"--tiff-compression=ZIP"}, {"--tiff-compression=CCITTFAX3"},
       "Keyword ZIP for --tiff-compression belongs to another format, CCITTFAX3 is used"},
      {{"--profile=" + profile}, {"--flip-vertical"},
       "Unknown key --TIFF-COLOUR-MODEL in profile " + profile + " line 3, ignored"},
      {{"-q", "-h"}, {"-q"}, "Option -h acts only as the first parameter, ignored"},
      {{"stray", "--wm-text=\"a", "-b\""}, {"--wm-text=\"a -b\""}, ""},
  };
  for (const Mistake& mistake : mistakes) {
    // -d echoes the settings that the mistakes touch.
    Args mistaken = {"-d", "-i", dir + "in", "-c", "tiff"};
    Args meant = mistaken;
    mistaken.insert(mistaken.end(), mistake.mistaken.begin(), mistake.mistaken.end());
    meant.insert(meant.end(), mistake.meant.begin(), mistake.meant.end());
    const test::RunResult wrong = test::runQuorbix(mistaken);
    const test::RunResult right = test::runQuorbix(meant);
    const std::vector<std::string> warnings =
        mistake.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{"Warning: " + mistake.warning};
    EXPECT_EQ(wrong.errLines, warnings) << mistaken.back();
    EXPECT_EQ(right.errLines, std::vector<std::string>{}) << mistaken.back();
    EXPECT_EQ(wrong.out, right.out) << mistaken.back();
    EXPECT_NE(wrong.out.find("TIFF Compression: "), std::string::npos) << mistaken.back();
  }
}

}  // namespace
}  // namespace quorbix
