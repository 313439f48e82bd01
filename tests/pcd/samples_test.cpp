// The converter on the real third-party samples in ../shared/samples (skipped
// when the folder is absent).
#include <gtest/gtest.h>

#include <string>

#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"
#include "support/test_paths.h"

namespace quorbix::pcd {
namespace {

DecodeStatus decodeSample(const std::string& name, int subImage, BgrImage& image) {
  auto source = FileByteSource::open(test::samplesDir() + name);
  if (!source) return DecodeStatus::NotPhotoCd;
  return decodeSubImage(*source, subImage, image);
}

class Samples : public ::testing::Test {
 protected:
  void SetUp() override {
    if (test::samplesDir().empty()) GTEST_SKIP() << "no ../shared/samples";
  }
};

TEST_F(Samples, PortraitGivesUpright16BaseAndNo64Base) {
  BgrImage image;
  ASSERT_EQ(decodeSample("portrait-16base.pcd", 5, image), DecodeStatus::Ok);
  EXPECT_EQ(image.width, 2048);
  EXPECT_EQ(image.height, 3072);
  ASSERT_EQ(decodeSample("portrait-16base.pcd", 4, image), DecodeStatus::Ok);
  EXPECT_EQ(image.width, 1024);
  EXPECT_EQ(image.height, 1536);
  EXPECT_EQ(decodeSample("portrait-16base.pcd", 6, image), DecodeStatus::NoSuchLevel);
}

TEST_F(Samples, PortraitIsANightScene) {
  // Upright: dark sky at the top, the lit tower in the middle.
  BgrImage image;
  ASSERT_EQ(decodeSample("portrait-16base.pcd", 3, image), DecodeStatus::Ok);
  const auto brightness = [&](int x0, int y0, int x1, int y1) {
    long sum = 0, n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x, ++n) {
        const uint8_t* p = image.pixels.data() + (static_cast<size_t>(y) * 512 + static_cast<size_t>(x)) * 3;
        sum += p[0] + p[1] + p[2];
      }
    return double(sum) / (3.0 * static_cast<double>(n));
  };
  EXPECT_LT(brightness(0, 0, 512, 60), 40.0);
}

TEST_F(Samples, BaseOnlyFileStopsAtBase) {
  BgrImage image;
  ASSERT_EQ(decodeSample("base-only-synthetic.pcd", 3, image), DecodeStatus::Ok);
  EXPECT_EQ(image.width, 768);
  for (int n : {4, 5, 6}) EXPECT_EQ(decodeSample("base-only-synthetic.pcd", n, image), DecodeStatus::NoSuchLevel);
}

TEST_F(Samples, TruncatedFileGivesNothing) {
  BgrImage image;
  for (int n = 0; n <= 6; ++n) EXPECT_NE(decodeSample("truncated-header.pcd", n, image), DecodeStatus::Ok) << n;
}

}  // namespace
}  // namespace quorbix::pcd
