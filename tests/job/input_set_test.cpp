#include "job/input_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace quorbix {
namespace {

std::vector<std::string> orderOf(const InputSet& set) {
  std::vector<std::string> order;
  set.forEach([&](const InputSet::Entry& e) { order.push_back(e.path); });
  return order;
}

TEST(InputSet, KeysAreExactAndCaseSensitive) {
  InputSet set;
  EXPECT_TRUE(set.add("/a/x.pcd", ""));
  EXPECT_FALSE(set.add("/a/x.pcd", "other/"));
  EXPECT_TRUE(set.add("/a/X.pcd", ""));
  EXPECT_TRUE(set.add("/a//x.pcd", ""));  // another spelling is another entry
  EXPECT_EQ(set.size(), 3u);
  EXPECT_TRUE(set.contains("/a/X.pcd"));
  EXPECT_FALSE(set.contains("/a/x.PCD"));
  // The first value stays.
  set.forEach([](const InputSet::Entry& e) {
    if (e.path == "/a/x.pcd") {
      EXPECT_EQ(e.relativeFolder, "");
    }
  });
}

TEST(InputSet, VisitsInNameOrderWhateverTheOrderAdded) {
  // Folder by folder, without regard to case; digits and '_' by their bytes;
  // names the same but for case by their exact bytes, however long.
  const std::vector<std::string> named = {
      "/p/a/z.pcd",   "/p/A.pcd",    "/p/Abcdefghijklm.pcd", "/p/aBcdefghijklm.pcd",      "/p/abcdefghijklm.pcd",
      "/p/b/IMG1.PCD", "/p/B.pcd",   "/p/img10.pcd",         "/p/IMG2.pcd",               "/p/Img_3.pcd",
      "/p/long folder name/x.pcd",   "/p/Long folder name/Y.pcd"};
  std::mt19937 engine(14);
  for (int round = 0; round < 5; ++round) {
    std::vector<std::string> added = named;
    std::shuffle(added.begin(), added.end(), engine);
    InputSet set;
    for (const auto& path : added) set.add(path, "");
    EXPECT_EQ(orderOf(set), named);
  }
}

TEST(InputSet, FileAddedAfterAVisitTakesItsPlace) {
  InputSet set;
  set.add("/p/b.pcd", "");
  set.add("/p/c.pcd", "");
  EXPECT_EQ(orderOf(set), (std::vector<std::string>{"/p/b.pcd", "/p/c.pcd"}));
  set.add("/p/A.pcd", "");
  EXPECT_EQ(orderOf(set), (std::vector<std::string>{"/p/A.pcd", "/p/b.pcd", "/p/c.pcd"}));
  set.clear();
  set.add("/p/d.pcd", "");
  EXPECT_EQ(orderOf(set), (std::vector<std::string>{"/p/d.pcd"}));
}

}  // namespace
}  // namespace quorbix
