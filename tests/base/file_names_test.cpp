#include "base/file_names.h"

#include <gtest/gtest.h>

namespace quorbix {

TEST(ExtensionOf, FindsTheLastDotOfTheLastName) {
  EXPECT_EQ(extensionOf("C:\\scans\\IMG0001.PCD"), "PCD");
  EXPECT_EQ(extensionOf("/in/a.b.pcd"), "pcd");
  EXPECT_EQ(extensionOf("C:\\my.pics"), "pics");
  EXPECT_EQ(extensionOf("x.pcd\"tail"), "pcd");
}

TEST(ExtensionOf, NoneForFoldersDotFilesAndBlanks) {
  EXPECT_EQ(extensionOf("photos"), "");
  EXPECT_EQ(extensionOf("/a.b/photos"), "");
  EXPECT_EQ(extensionOf("C:\\a.b\\"), "");
  EXPECT_EQ(extensionOf(".hidden"), "");
  EXPECT_EQ(extensionOf("/x/.hidden"), "");
  EXPECT_EQ(extensionOf("my.folder name"), "");
}

TEST(FileNameParts, SplitAtEitherSeparator) {
  EXPECT_EQ(fileNamePart("/in/2019/x.pcd"), "x.pcd");
  EXPECT_EQ(folderPart("/in/2019/x.pcd"), "/in/2019/");
  EXPECT_EQ(folderPart("C:\\in\\x.pcd"), "C:\\in\\");
  EXPECT_EQ(folderPart("x.pcd"), "");
  EXPECT_EQ(nameWithoutExtension("IMG0001.PCD"), "IMG0001");
  EXPECT_EQ(nameWithoutExtension("a.b.pcd"), "a.b");
  EXPECT_EQ(nameWithoutExtension("noext"), "noext");
}

}  // namespace quorbix
