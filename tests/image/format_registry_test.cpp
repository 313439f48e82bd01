#include "image/format_registry.h"

#include <gtest/gtest.h>

#include <FreeImage.h>

#include <algorithm>
#include <set>

namespace quorbix {
namespace {

FormatRegistry built() {
  FormatRegistry registry;
  registry.build();
  return registry;
}

TEST(FormatRegistry, InputTableHas79ExtensionsIn16Families) {
  FormatRegistry registry = built();
  EXPECT_EQ(registry.inputFormats.size(), 79u);
  EXPECT_EQ(registry.inputOrder.size(), 79u);
  std::set<std::string> families;
  for (const auto& [extension, entry] : registry.inputFormats) {
    families.insert(entry.formatGroup);
    // Every family's main extension is itself an entry of that family.
    ASSERT_TRUE(registry.inputFormats.count(entry.formatGroup)) << extension;
    EXPECT_EQ(registry.inputFormats.at(entry.formatGroup).formatGroup, entry.formatGroup);
  }
  EXPECT_EQ(families.size(), 16u);
  EXPECT_EQ(registry.inputFormats.at("apm").formatGroup, "wmf");
  EXPECT_EQ(registry.inputFormats.at("apm").description, "Aldus Placeable Metafile");
  EXPECT_EQ(registry.inputFormats.at("wmz").description, "Windows Metafile Format");
  EXPECT_EQ(registry.inputFormats.at("dcs").description, "Kodak Camera RAW Image");
  EXPECT_EQ(registry.inputFormats.at("ppcd").description, "Kodak PhotoCD File");
}

TEST(FormatRegistry, AcceptedInputIsThePhotoCdFamilyOnly) {
  FormatRegistry registry = built();
  std::vector<std::string> accepted = registry.acceptedInputExtensions;
  std::sort(accepted.begin(), accepted.end());
  EXPECT_EQ(accepted, (std::vector<std::string>{"pcd", "pcd1", "pcds", "ppcd"}));
  EXPECT_EQ(registry.featuredInputExtensions, std::vector<std::string>{"pcd"});
  EXPECT_EQ(registry.featuredOutputExtensions, std::vector<std::string>{"tiff"});
}

TEST(FormatRegistry, ExtensionsOfGroupsMatchesGroupsExactly) {
  FormatRegistry registry = built();
  EXPECT_EQ(registry.extensionsOfGroups({"raw"}).size(), 48u);
  EXPECT_EQ(registry.extensionsOfGroups({"wmf"}).size(), 3u);
  EXPECT_EQ(registry.extensionsOfGroups({"tiff", "jpg"}).size(), 6u);
  EXPECT_TRUE(registry.extensionsOfGroups({"PCD"}).empty());
  EXPECT_TRUE(registry.extensionsOfGroups({"pcd1"}).empty());
  EXPECT_TRUE(registry.extensionsOfGroups({}).empty());
}

TEST(FormatRegistry, OutputRowsCarryFreeImageIds) {
  FormatRegistry registry = built();
  EXPECT_EQ(registry.outputFormats.size(), 20u);
  OutputFormatEntry tiff = registry.outputEntry("tiff");
  EXPECT_EQ(tiff.formatId, FIF_TIFF);
  EXPECT_EQ(tiff.formatId, 18);
  EXPECT_EQ(tiff.extension, "tiff");
  EXPECT_EQ(tiff.allowedDepths, "1,4,8,24,32,48,96");
  EXPECT_EQ(registry.outputEntry("jpg").formatId, 2);
  EXPECT_EQ(registry.outputEntry("webp").formatId, 35);
  EXPECT_EQ(registry.outputEntry("jxr").formatId, 36);
  EXPECT_EQ(registry.outputEntry("exr").formatId, 29);
  // Unknown or differently cased keys give the empty entry and add nothing.
  for (const char* missing : {"TIFF", "tif", "psd", "pcx", "dds", ""}) {
    OutputFormatEntry entry = registry.outputEntry(missing);
    EXPECT_EQ(entry.formatId, 0) << missing;
    EXPECT_TRUE(entry.extension.empty() && entry.allowedDepths.empty()) << missing;
  }
  EXPECT_EQ(registry.outputFormats.size(), 20u);
}

TEST(FormatRegistry, DepthAllowedOnlyFromTheList) {
  FormatRegistry registry = built();
  EXPECT_FALSE(registry.isDepthAllowed("tiff", 16));
  EXPECT_TRUE(registry.isDepthAllowed("tiff", 0));
  EXPECT_TRUE(registry.isDepthAllowed("tiff", 96));
  EXPECT_TRUE(registry.isDepthAllowed("tiff", 1));
  EXPECT_FALSE(registry.isDepthAllowed("tiff", -1));
  EXPECT_FALSE(registry.isDepthAllowed("psd", 8));
  EXPECT_TRUE(registry.isDepthAllowed("psd", 0));
  EXPECT_TRUE(registry.isDepthAllowed("bmp", 16));
}

TEST(FormatRegistry, AutoDepthTakesTheFirstListedDepthAtLeastTheSource) {
  FormatRegistry registry = built();
  EXPECT_EQ(registry.autoDepth("tiff", 24), 24);
  EXPECT_EQ(registry.autoDepth("tiff", 16), 24);
  EXPECT_EQ(registry.autoDepth("tiff", 8), 8);
  EXPECT_EQ(registry.autoDepth("tiff", 2), 4);
  EXPECT_EQ(registry.autoDepth("tiff", 64), 96);
  EXPECT_EQ(registry.autoDepth("tiff", 128), 96);
  EXPECT_EQ(registry.autoDepth("jpg", 32), 24);
  EXPECT_EQ(registry.autoDepth("psd", 24), 0);
}

TEST(FormatRegistry, OddDepthListsReadAsZeroFields) {
  FormatRegistry registry = built();
  registry.outputFormats["odd"] = {99, "odd", "odd", "8,x,,16"};
  EXPECT_TRUE(registry.isDepthAllowed("odd", 16));
  EXPECT_FALSE(registry.isDepthAllowed("odd", 9));
  EXPECT_EQ(registry.autoDepth("odd", 12), 16);
  EXPECT_EQ(registry.autoDepth("odd", 20), 16);
  // Only the first 127 fields are examined.
  std::string many;
  for (int i = 0; i < 200; ++i) many += std::to_string(i + 1) + ",";
  registry.outputFormats["many"] = {98, "many", "many", many};
  EXPECT_TRUE(registry.isDepthAllowed("many", 127));
  EXPECT_FALSE(registry.isDepthAllowed("many", 128));
  EXPECT_EQ(registry.autoDepth("many", 1000), 127);
}

TEST(FormatRegistry, BuildingTwiceGivesTheSameTables) {
  FormatRegistry registry = built();
  registry.build();
  EXPECT_EQ(registry.inputFormats.size(), 79u);
  EXPECT_EQ(registry.inputOrder.size(), 79u);
  EXPECT_EQ(registry.acceptedInputExtensions.size(), 4u);
}

}  // namespace
}  // namespace quorbix
