#include "pcd/converter_arguments.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorbix::pcd {
namespace {

std::optional<ConverterRequest> parse(std::vector<const char*> args) {
  args.insert(args.begin(), "convert");
  return parseConverterArguments(static_cast<int>(args.size()), args.data());
}

TEST(ConverterArguments, AcceptsThePipelinesCommand) {
  auto r = parse({"-quiet", "-colorspace", "sRGB", "/in/IMG0001.PCD[6]", "/tmp/q/IMG0001.tga"});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->input, "/in/IMG0001.PCD");
  EXPECT_EQ(r->subImage, 6);
  EXPECT_EQ(r->output, "/tmp/q/IMG0001.tga");
  r = parse({"-quiet", "-colorspace", "sRGB", "a.pcd[0]", "b.tga"});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->subImage, 0);
}

TEST(ConverterArguments, OnlyTheLastBracketPairSelects) {
  auto r = parse({"-quiet", "-colorspace", "sRGB", "/in/roll [2]/x[1].pcd[4]", "o.tga"});
  ASSERT_TRUE(r);
  EXPECT_EQ(r->input, "/in/roll [2]/x[1].pcd");
  EXPECT_EQ(r->subImage, 4);
}

TEST(ConverterArguments, RefusesAnyOtherForm) {
  EXPECT_FALSE(parse({}));
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd[3]"}));
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd[3]", "b.tga", "extra"}));
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "RGB", "a.pcd[3]", "b.tga"}));
  EXPECT_FALSE(parse({"-colorspace", "sRGB", "-quiet", "a.pcd[3]", "b.tga"}));
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd", "b.tga"}));       // no selector
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd[7]", "b.tga"}));    // no such index
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd[-1]", "b.tga"}));
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd[]", "b.tga"}));
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd[03]", "b.tga"}));   // no leading zeros
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "[3]", "b.tga"}));         // no file name
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd[3]x", "b.tga"}));
  EXPECT_FALSE(parse({"-quiet", "-colorspace", "sRGB", "a.pcd[3]", ""}));
}

}  // namespace
}  // namespace quorbix::pcd
