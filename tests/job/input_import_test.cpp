#include "job/input_import.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "job_test_support.h"
#include "support/test_paths.h"
#include "support/utf16_bytes.h"

namespace quorbix {
namespace {

using test::makeFolder;
using test::writeFile;

const std::vector<std::string> kAccepted = {"pcd", "pcd1", "pcds", "ppcd"};

std::map<std::string, std::string> contentsOf(const InputSet& set) {
  std::map<std::string, std::string> map;
  set.forEach([&](const InputSet::Entry& e) { map[e.path] = e.relativeFolder; });
  return map;
}

TEST(InputImport, FolderAcceptsNonEmptyFilesOfTheFamilyInAnyCase) {
  test::TempFolder tmp;
  const std::string root = tmp.path();
  writeFile(root + "a.pcd", "x");
  writeFile(root + "b.PCD", "x");
  writeFile(root + "c.pcd1", "x");
  writeFile(root + "d.jpg", "x");
  writeFile(root + "e.pcd", "");
  writeFile(root + "f.pcd.bak", "x");
  writeFile(root + ".pcd", "x");  // a dot-file has no extension
  ASSERT_EQ(::mkfifo((root + "pipe.pcd").c_str(), 0644), 0);  // never opened
  InputSet set;
  EXPECT_EQ(importInputs(root, "", kAccepted, set), 3);
  EXPECT_EQ(contentsOf(set), (std::map<std::string, std::string>{
                                 {root + "a.pcd", ""}, {root + "b.PCD", ""}, {root + "c.pcd1", ""}}));
}

TEST(InputImport, SubFoldersGiveRelativeFolders) {
  test::TempFolder tmp;
  const std::string root = tmp.path();
  makeFolder(root + "2019");
  makeFolder(root + "2019/summer");
  makeFolder(root + "empty");
  writeFile(root + "x.pcd", "x");
  writeFile(root + "2019/y.pcd", "x");
  writeFile(root + "2019/summer/z.pcd", "x");
  InputSet set;
  EXPECT_EQ(importInputs(root, "", kAccepted, set), 3);
  EXPECT_EQ(contentsOf(set), (std::map<std::string, std::string>{
                                 {root + "x.pcd", ""},
                                 {root + "2019/y.pcd", "2019/"},
                                 {root + "2019/summer/z.pcd", "2019/summer/"}}));
}

TEST(InputImport, SubFolderRepeatingTheInputFolderNameKeepsItsPlace) {
  test::TempFolder tmp;
  // Input folder <tmp>in/ with a file in <tmp>in/sub<tmp>in/...: removing
  // every occurrence of the input folder's text would lose "sub".
  const std::string input = tmp.path() + "in/";
  makeFolder(input);
  makeFolder(input + "sub");
  makeFolder(input + "sub/in");
  writeFile(input + "sub/in/p.pcd", "x");
  InputSet set;
  EXPECT_EQ(importInputs(input, "", kAccepted, set), 1);
  EXPECT_EQ(contentsOf(set)[input + "sub/in/p.pcd"], "sub/in/");
}

TEST(InputImport, LinksToFoldersAreNotFollowedLinksToFilesAre) {
  test::TempFolder tmp;
  const std::string root = tmp.path() + "root/";
  makeFolder(root);
  makeFolder(tmp.path() + "elsewhere");
  writeFile(tmp.path() + "elsewhere/far.pcd", "x");
  writeFile(root + "here.pcd", "x");
  ASSERT_EQ(::symlink(root.c_str(), (root + "loop").c_str()), 0);  // a cycle
  ASSERT_EQ(::symlink((tmp.path() + "elsewhere").c_str(), (root + "away").c_str()), 0);
  ASSERT_EQ(::symlink((tmp.path() + "elsewhere/far.pcd").c_str(), (root + "link.pcd").c_str()), 0);
  ASSERT_EQ(::symlink((root + "gone.pcd").c_str(), (root + "dangling.pcd").c_str()), 0);
  InputSet set;
  EXPECT_EQ(importInputs(root, "", kAccepted, set), 2);
  EXPECT_EQ(contentsOf(set), (std::map<std::string, std::string>{{root + "here.pcd", ""},
                                                                 {root + "link.pcd", ""}}));
}

TEST(InputImport, UnreadableFolderIsSkippedSilently) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  test::TempFolder tmp;
  const std::string root = tmp.path();
  makeFolder(root + "locked");
  writeFile(root + "locked/hidden.pcd", "x");
  writeFile(root + "open.pcd", "x");
  ::chmod((root + "locked").c_str(), 0);
  InputSet set;
  EXPECT_EQ(importInputs(root, "", kAccepted, set), 1);
  ::chmod((root + "locked").c_str(), 0755);
  InputSet none;
  EXPECT_EQ(importInputs(root + "missing/", "", kAccepted, none), 0);
}

TEST(InputImport, HostileNamesAreKeptByteForByte) {
  test::TempFolder tmp;
  const std::string root = tmp.path();
  std::vector<std::string> names = {"with space.pcd", "quote\"d'.pcd", "$(touch x).pcd",
                                    "new\nline.pcd", "M\xC3\xBCller \xE5\x86\x99.pcd"};
  for (const auto& n : names) writeFile(root + n, "x");
  InputSet set;
  EXPECT_EQ(importInputs(root, "", kAccepted, set), 5);
  for (const auto& n : names) EXPECT_TRUE(set.contains(root + n)) << n;
}

TEST(InputImport, ListFileCountsEachFileOnceAndKeepsNoSubFolders) {
  test::TempFolder tmp;
  const std::string root = tmp.path();
  makeFolder(root + "pics");
  makeFolder(root + "pics/deep");
  writeFile(root + "pics/a.pcd", "x");
  writeFile(root + "pics/deep/b.pcd", "x");
  writeFile(root + "c.pcd", "x");
  writeFile(root + "list.LST",
            "\xEF\xBB\xBF" + root + "pics/a.pcd\r\n"   // named alone ...
                "\r\n"
                "   " + root + "pics  \r\n"             // ... and through its folder
                "Holiday pictures\r\n"                  // no such file: skipped
                "\t" + root + "c.pcd\r\n"               // leading tab: no such file
                + root + "c.pcd\n"
                + root + "c.pcd\r"                      // duplicate line
                + root + "missing.pcd");
  InputSet set;
  EXPECT_EQ(importInputs("", root + "list.LST", kAccepted, set), 3);
  EXPECT_EQ(contentsOf(set), (std::map<std::string, std::string>{
                                 {root + "pics/a.pcd", ""},
                                 {root + "pics/deep/b.pcd", ""},
                                 {root + "c.pcd", ""}}));
}

TEST(InputImport, ListFileReadInPiecesCutAnywhere) {
  // List files are read 64 KiB at a time: here a path, a CR LF pair and a
  // UTF-16 surrogate pair each straddle the end of a piece.
  test::TempFolder tmp;
  const std::string root = tmp.path();
  const std::string a = root + "a.pcd", b = root + "b.pcd", emoji = root + "\xF0\x9F\x98\x80.pcd";
  for (const auto& path : {a, b, emoji}) writeFile(path, "x");
  std::string list = "\xEF\xBB\xBF";
  list += std::string(65536 - 2 - list.size(), ' ') + a + "\n";
  list += std::string(2 * 65536 - 1 - b.size() - list.size(), ' ') + b + "\r\n";
  ASSERT_EQ(list.substr(2 * 65536 - 1, 2), "\r\n");
  writeFile(root + "list.txt", list);
  InputSet set;
  EXPECT_EQ(importInputs("", root + "list.txt", kAccepted, set), 2);
  EXPECT_TRUE(set.contains(a) && set.contains(b));

  // The surrogate pair of U+1F600 begins 2 bytes before the end of the piece.
  std::u16string text(32766 - root.size(), u' ');
  for (char c : root) text += static_cast<char16_t>(c);
  text += u"\U0001F600.pcd";
  writeFile(root + "utf16.txt", test::utf16Bytes(text, false));
  InputSet utf16;
  EXPECT_EQ(importInputs("", root + "utf16.txt", kAccepted, utf16), 1);
  EXPECT_TRUE(utf16.contains(emoji));
}

TEST(InputImport, ListFileRelativeLinesAreRelativeToTheCurrentFolder) {
  test::TempFolder tmp;
  const std::string root = tmp.path();
  writeFile(root + "rel.pcd", "x");
  writeFile(root + "files.txt", "rel.pcd\n./rel.pcd\n");
  char saved[4096];
  ASSERT_NE(::getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(::chdir(root.c_str()), 0);
  InputSet set;
  int32_t count = importInputs("", root + "files.txt", kAccepted, set);
  ASSERT_EQ(::chdir(saved), 0);
  EXPECT_EQ(count, 1);  // two spellings of one file, one entry
  EXPECT_EQ(contentsOf(set), (std::map<std::string, std::string>{{"rel.pcd", ""}}));
}

TEST(InputImport, SingleFileAndNonListExtensions) {
  test::TempFolder tmp;
  const std::string root = tmp.path();
  writeFile(root + "one.pcd", "x");
  writeFile(root + "files.list", root + "one.pcd\n");
  writeFile(root + "unreadable.txt", root + "one.pcd\n");
  InputSet a;
  EXPECT_EQ(importInputs("", root + "one.pcd", kAccepted, a), 1);
  InputSet b;
  EXPECT_EQ(importInputs("", root + "files.list", kAccepted, b), 0);  // not a list
  if (::geteuid() != 0) {
    ::chmod((root + "unreadable.txt").c_str(), 0);
    InputSet c;
    EXPECT_EQ(importInputs("", root + "unreadable.txt", kAccepted, c), 0);
  }
  EXPECT_TRUE(isListFile("x.TxT"));
  EXPECT_TRUE(isListFile("x.lst"));
  EXPECT_FALSE(isListFile("x.list"));
  EXPECT_FALSE(isListFile("txt"));
}

}  // namespace
}  // namespace quorbix
