#include "job/folder_rule.h"

#include <gtest/gtest.h>

#include "job_test_support.h"
#include "platform/file_system.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

TEST(FolderRule, RelativeFoldersHangBelowTheProgramFolder) {
  test::TempFolder tmp;
  const std::string program = tmp.path();
  test::makeFolder(program + "photos");
  for (std::string given : {"photos", "photos/", "./photos", "./photos/"}) {
    std::string path = given;
    EXPECT_EQ(applyFolderRule(path, program), FolderRuleResult::Ok) << given;
    EXPECT_EQ(path, program + "photos/") << given;
  }
  std::string empty;
  EXPECT_EQ(applyFolderRule(empty, program), FolderRuleResult::Ok);
  EXPECT_EQ(empty, program);
}

TEST(FolderRule, AbsoluteFoldersStayAndGetATrailingSlash) {
  test::TempFolder tmp;
  std::string path = tmp.path().substr(0, tmp.path().size() - 1);
  EXPECT_EQ(applyFolderRule(path, "/nowhere/"), FolderRuleResult::Ok);
  EXPECT_EQ(path, tmp.path());
}

TEST(FolderRule, DotDotIsRefusedEvenWhenItExists) {
  test::TempFolder tmp;
  test::makeFolder(tmp.path() + "p");
  std::string path = "../" ;
  EXPECT_EQ(applyFolderRule(path, tmp.path() + "p/"), FolderRuleResult::Incorrect);
  path = "..";
  EXPECT_EQ(applyFolderRule(path, tmp.path() + "p/"), FolderRuleResult::Incorrect);
  // Only a leading ".." is looked at.
  path = tmp.path() + "p/../p";
  EXPECT_EQ(applyFolderRule(path, "/x/"), FolderRuleResult::Ok);
}

TEST(FolderRule, MissingFoldersAndFilesAreInvalid) {
  test::TempFolder tmp;
  test::writeFile(tmp.path() + "file", "x");
  std::string path = "file";
  EXPECT_EQ(applyFolderRule(path, tmp.path()), FolderRuleResult::Invalid);
  path = "nothing";
  EXPECT_EQ(applyFolderRule(path, tmp.path()), FolderRuleResult::Invalid);
  EXPECT_FALSE(platform::isFolder(tmp.path() + "nothing"));  // never created
  // A Windows-style drive path is just a relative name here.
  path = "C:/pics";
  EXPECT_EQ(applyFolderRule(path, tmp.path()), FolderRuleResult::Invalid);
  EXPECT_EQ(path, tmp.path() + "C:/pics/");
}

}  // namespace
}  // namespace quorbix
