#include "pcd/converter_arguments.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <utility>
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

// The tone pair comes first or not at all, its keyword in any case.
TEST(ConverterArguments, TonePairOnlyFirst) {
  const std::vector<std::string> command = {"-quiet", "-colorspace", "sRGB", "a.pcd[3]", "b.tga"};
  const auto withPair = [&command](size_t at, const char* option, const char* keyword) {
    std::vector<std::string> args = command;
    args.insert(args.begin() + static_cast<std::ptrdiff_t>(at), {option, keyword});
    return parseConverterArguments(args);
  };
  EXPECT_EQ(parseConverterArguments(command)->tone, ToneRendering::Display);
  const std::pair<const char*, ToneRendering> keywords[] = {{"FULLRANGE", ToneRendering::FullRange},
      {"fullRange", ToneRendering::FullRange}, {"DISPLAY", ToneRendering::Display}, {"display", ToneRendering::Display}};
  for (const auto& [keyword, tone] : keywords) {
    const std::optional<ConverterRequest> r = withPair(0, "-pcd-tone", keyword);
    ASSERT_TRUE(r && r->input == "a.pcd" && r->subImage == 3 && r->output == "b.tga") << keyword;
    EXPECT_EQ(r->tone, tone) << keyword;
    for (size_t at = 1; at <= command.size(); ++at) EXPECT_FALSE(withPair(at, "-pcd-tone", keyword)) << at;
  }
  for (const char* keyword : {"", "FULL", "FULLRANGE ", "-quiet"}) EXPECT_FALSE(withPair(0, "-pcd-tone", keyword));
  EXPECT_FALSE(withPair(0, "-PCD-TONE", "FULLRANGE"));
}

}  // namespace
}  // namespace quorbix::pcd
