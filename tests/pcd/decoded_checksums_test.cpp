// The decoder's exact output, level by level: checksums of the Targa files
// the converter writes, recorded from a known-good build. Any change to the
// decoding, colour conversion or turning shows up here as a changed
// checksum, so a faster decoder must keep these values. The file is written
// twice: streamed from the stored picture (the converter's way) and from
// the whole upright picture; both must give the recorded bytes. The
// FULLRANGE rendering keeps the bytes of the versions before DISPLAY became
// the default; DISPLAY has its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"
#include "pcd/targa_writer.h"
#include "pcd_writer/extension_writer.h"
#include "pcd_writer/pcd_writer.h"
#include "support/test_paths.h"

namespace quorbix::pcd {
namespace {

struct Expected {
  int subImage;
  uint64_t checksum;  // 64-bit FNV-1a of the whole Targa file
};

uint64_t fileChecksum(const std::string& path) {
  uint64_t hash = 0xcbf29ce484222325ull;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return 0;
  unsigned char buffer[1 << 16];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    for (size_t i = 0; i < n; ++i) hash = (hash ^ buffer[i]) * 0x100000001b3ull;
  }
  std::fclose(f);
  return hash;
}

void expectChecksums(const ByteSource& source, const std::vector<Expected>& expected,
                     const ExtensionFiles* extension = nullptr, ToneRendering tone = ToneRendering::FullRange) {
  const test::TempFolder folder;
  const std::string streamed = folder.path() + "streamed.tga";
  const std::string whole = folder.path() + "whole.tga";
  for (const Expected& e : expected) {
    YccPicture picture;
    Rotation rotation = Rotation::None;
    ASSERT_EQ(decodeStored(source, e.subImage, picture, rotation, extension), DecodeStatus::Ok) << e.subImage;
    ASSERT_TRUE(writeTarga(picture, rotation, streamed, tone)) << e.subImage;
    EXPECT_EQ(fileChecksum(streamed), e.checksum) << "streamed, sub-image " << e.subImage;

    BgrImage image;
    ASSERT_EQ(decodeSubImage(source, e.subImage, image, extension, nullptr, tone), DecodeStatus::Ok) << e.subImage;
    ASSERT_TRUE(writeTarga(image, whole)) << e.subImage;
    EXPECT_EQ(fileChecksum(whole), e.checksum) << "whole, sub-image " << e.subImage;
  }
}

void expectChecksums(const std::string& bytes, const std::vector<Expected>& expected,
                     ToneRendering tone = ToneRendering::FullRange) {
  const MemoryByteSource source(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  expectChecksums(source, expected, nullptr, tone);
}

std::string projectPicture(bool portrait, bool chroma) {
  pcd_writer::PcdWriteOptions options;
  options.topLevel = Level::SixteenBase;
  options.rotation = portrait ? Rotation::Quarter : Rotation::None;
  options.chromaDifferences = chroma;
  return pcd_writer::writePcd(pcd_writer::syntheticPicture(Level::SixteenBase, portrait), options);
}

TEST(DecodedChecksums, Landscape16BaseEveryLevel) {
  expectChecksums(projectPicture(false, true), {{0, 0xbb3379149f8536daull},
                                                {2, 0x51855524f5580f2aull},
                                                {3, 0xafd48e726f19625full},
                                                {4, 0x815adc139f779e7dull},
                                                {5, 0x9cacdddc4635ef3eull}});
}

TEST(DecodedChecksums, Portrait16BaseEveryLevel) {
  expectChecksums(projectPicture(true, true), {{0, 0xc2a8515cbb567ef7ull},
                                               {2, 0x453771b17f311e30ull},
                                               {3, 0x5f8e209a256fc665ull},
                                               {4, 0x9127738ae379194eull},
                                               {5, 0xffc8614e10b00d64ull}});
}

TEST(DecodedChecksums, DisplayRendering) {
  expectChecksums(projectPicture(true, true),
                  {{0, 0x3071b0161852df0dull}, {2, 0x78147e61ddd4f87bull}, {3, 0x2af35fe5a0230bffull}, {4, 0xaaaceff0b99357a1ull}, {5, 0xe2b0bbbc19d80646ull}}, ToneRendering::Display);
}

TEST(DecodedChecksums, PortraitWithLumaDifferencesOnly) {
  expectChecksums(projectPicture(true, false), {{4, 0xa05c36c2f7aa6b17ull}, {5, 0x310b895a2cebe535ull}});
}

void expect64Base(bool portrait, uint64_t checksum, ToneRendering tone = ToneRendering::FullRange) {
  const Rotation rotation = portrait ? Rotation::Quarter : Rotation::None;
  const pcd_writer::ProPhotoCd written = pcd_writer::writeProPhotoCd(
      pcd_writer::syntheticPicture(Level::SixtyFourBase, portrait), rotation, pcd_writer::ExtensionWriteOptions{});
  const MemoryByteSource source(reinterpret_cast<const uint8_t*>(written.imagePac.data()), written.imagePac.size());
  const pcd_writer::MemoryExtensionFiles extension(written.extension);
  expectChecksums(source, {{6, checksum}}, &extension, tone);
}

TEST(DecodedChecksums, Landscape64Base) { expect64Base(false, 0x0e0114a16c460917ull); }

TEST(DecodedChecksums, Portrait64Base) {
  expect64Base(true, 0x1beb9063c2b9ac33ull);
  expect64Base(true, 0x66c8dbc15a772465ull, ToneRendering::Display);
}

TEST(DecodedChecksums, RealSamples) {
  if (test::samplesDir().empty()) GTEST_SKIP() << "no ../shared/samples";
  const auto sample = [](const std::string& name, const std::vector<Expected>& expected,
                          ToneRendering tone = ToneRendering::FullRange) {
    const auto source = FileByteSource::open(test::samplesDir() + name);
    ASSERT_TRUE(source) << name;
    expectChecksums(*source, expected, nullptr, tone);
  };
  sample("portrait-16base.pcd", {{0, 0xe07e0fc7ba94581dull},
                                 {2, 0xe440cca3e7d1bc80ull},
                                 {3, 0x11a3c1b109dd4e6bull},
                                 {4, 0x9fc86254aa4467cfull},
                                 {5, 0x6279a31ba8f6ea31ull}});
  sample("base-only-synthetic.pcd", {{0, 0x88220957698e298aull}, {2, 0xeaa7ca9e654de78dull}, {3, 0xc9b5e87947f0eabfull}});
  sample("portrait-16base.pcd", {{0, 0xf718ffb186e0ccedull}, {2, 0x62bf5d28ff11aae0ull}, {3, 0xec0af3d833e892afull}, {4, 0x9865afbe3ecf8e02ull}, {5, 0x1c64a990e0a9eb09ull}},
         ToneRendering::Display);
}

}  // namespace
}  // namespace quorbix::pcd
