#include "job/input_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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

TEST(InputSet, IteratesBucketsInAscendingOrderThenChains) {
  InputSet set;
  std::vector<std::string> added;
  for (int i = 0; i < 2000; ++i) {
    added.push_back("/pics/IMG" + std::to_string(i) + ".PCD");
    set.add(added.back(), "");
  }
  auto order = orderOf(set);
  ASSERT_EQ(order.size(), added.size());
  EXPECT_EQ(std::set<std::string>(order.begin(), order.end()),
            std::set<std::string>(added.begin(), added.end()));
  // Buckets never go down; within a bucket, insertion order is kept.
  for (size_t i = 1; i < order.size(); ++i) {
    size_t before = InputSet::bucketOf(order[i - 1]);
    size_t now = InputSet::bucketOf(order[i]);
    ASSERT_LE(before, now);
    if (before == now) {
      auto a = std::find(added.begin(), added.end(), order[i - 1]);
      auto b = std::find(added.begin(), added.end(), order[i]);
      ASSERT_LT(a, b);
    }
  }
  EXPECT_NE(order, added);  // neither discovery order ...
  auto sorted = added;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_NE(order, sorted);  // ... nor alphabetical
}

TEST(InputSet, FixedHashSpreadsOverAllBuckets) {
  // FNV-1a of "" is the offset basis 2166136261, which is 5 modulo 512.
  EXPECT_EQ(InputSet::bucketOf(""), 2166136261u % 512);
  std::set<size_t> used;
  for (int i = 0; i < 5000; ++i) used.insert(InputSet::bucketOf("/f/" + std::to_string(i) + ".pcd"));
  EXPECT_EQ(used.size(), InputSet::kBucketCount);
}

}  // namespace
}  // namespace quorbix
