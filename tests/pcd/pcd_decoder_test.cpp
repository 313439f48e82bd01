#include "pcd/pcd_decoder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>
#include <vector>

#include "pcd_writer/pcd_writer.h"

namespace quorbix::pcd {
namespace {

using pcd_writer::PcdWriteOptions;
using pcd_writer::writePcd;

struct Decoded {
  DecodeStatus status;
  BgrImage image;
  DecodeRepairs repairs;
};

Decoded decode(const std::string& file, int subImage) {
  MemoryByteSource source(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  Decoded d;
  d.status = decodeSubImage(source, subImage, d.image, nullptr, &d.repairs);
  return d;
}

DecodeStatus decodeLevel(const std::string& file, Level level, YccPicture& picture) {
  MemoryByteSource source(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  auto header = readPcdHeader(source);
  if (!header) return DecodeStatus::NotPhotoCd;
  return decodeYcc(source, *header, level, picture);
}

void expectSamePicture(const YccPicture& a, const YccPicture& b, const char* what) {
  ASSERT_EQ(a.luma.width, b.luma.width) << what;
  ASSERT_EQ(a.luma.height, b.luma.height) << what;
  EXPECT_TRUE(a.luma.pixels == b.luma.pixels) << what << ": luma differs";
  EXPECT_TRUE(a.chroma1.pixels == b.chroma1.pixels) << what << ": chroma 1 differs";
  EXPECT_TRUE(a.chroma2.pixels == b.chroma2.pixels) << what << ": chroma 2 differs";
}

// One 4Base file with coded chroma, shared by the tests below (writing it
// takes a moment).
const std::string& fourBaseFile(std::vector<YccPicture>* expected = nullptr) {
  static std::vector<YccPicture> rebuilt;
  static const std::string file = [] {
    PcdWriteOptions options;
    options.topLevel = Level::FourBase;
    return writePcd(pcd_writer::syntheticPicture(Level::FourBase), options, &rebuilt);
  }();
  if (expected) *expected = rebuilt;
  return file;
}

TEST(PcdDecoder, RebuildsEveryLevelUpTo4BaseExactly) {
  std::vector<YccPicture> expected;
  const std::string& file = fourBaseFile(&expected);
  ASSERT_EQ(expected.size(), 4u);
  for (Level level : {Level::Base16, Level::Base4, Level::Base, Level::FourBase}) {
    YccPicture picture;
    ASSERT_EQ(decodeLevel(file, level, picture), DecodeStatus::Ok) << static_cast<int>(level);
    expectSamePicture(picture, expected[static_cast<size_t>(level)], "level");
  }
}

TEST(PcdDecoder, CodedLevelAddsTheDetailThePredictionLacks) {
  // The stripes of the synthetic picture are too fine for Base; the 4Base
  // differences must bring them back, so the decoded 4Base is far closer to
  // the original than Base enlarged.
  const YccPicture original = pcd_writer::syntheticPicture(Level::FourBase);
  std::vector<YccPicture> expected;
  const std::string& file = fourBaseFile(&expected);
  YccPicture decoded;
  ASSERT_EQ(decodeLevel(file, Level::FourBase, decoded), DecodeStatus::Ok);
  const Plane enlarged = upsample2x(expected[static_cast<size_t>(Level::Base)].luma);
  double decodedError = 0, enlargedError = 0;
  for (size_t i = 0; i < original.luma.pixels.size(); ++i) {
    decodedError += std::abs(decoded.luma.pixels[i] - original.luma.pixels[i]);
    enlargedError += std::abs(enlarged.pixels[i] - original.luma.pixels[i]);
  }
  EXPECT_LT(decodedError * 4, enlargedError);
}

TEST(PcdDecoder, Rebuilds16BaseWithLumaOnlyDifferences) {
  PcdWriteOptions options;
  options.topLevel = Level::SixteenBase;
  options.chromaDifferences = false;
  std::vector<YccPicture> expected;
  const std::string file = writePcd(pcd_writer::syntheticPicture(Level::SixteenBase), options, &expected);
  YccPicture picture;
  ASSERT_EQ(decodeLevel(file, Level::SixteenBase, picture), DecodeStatus::Ok);
  expectSamePicture(picture, expected[static_cast<size_t>(Level::SixteenBase)], "16Base");

  const Decoded d = decode(file, 5);
  ASSERT_EQ(d.status, DecodeStatus::Ok);
  EXPECT_EQ(d.image.width, 3072);
  EXPECT_EQ(d.image.height, 2048);
  EXPECT_EQ(decode(file, 6).status, DecodeStatus::NoSuchLevel);
}

TEST(PcdDecoder, SubImageNumbersSelectTheLevels) {
  const std::string& file = fourBaseFile();
  const int sizes[5][2] = {{192, 128}, {192, 128}, {384, 256}, {768, 512}, {1536, 1024}};
  for (int n = 0; n <= 4; ++n) {
    const Decoded d = decode(file, n);
    ASSERT_EQ(d.status, DecodeStatus::Ok) << n;
    EXPECT_EQ(d.image.width, sizes[n][0]) << n;
    EXPECT_EQ(d.image.height, sizes[n][1]) << n;
    EXPECT_EQ(d.image.pixels.size(), static_cast<size_t>(sizes[n][0] * sizes[n][1] * 3));
  }
  EXPECT_EQ(decode(file, 5).status, DecodeStatus::NoSuchLevel);
  EXPECT_EQ(decode(file, 6).status, DecodeStatus::NoSuchLevel);
  EXPECT_EQ(decode(file, 7).status, DecodeStatus::NoSuchLevel);
  EXPECT_EQ(decode(file, -1).status, DecodeStatus::NoSuchLevel);
}

TEST(PcdDecoder, TurnsThePictureUprightAsTheHeaderSays) {
  std::vector<YccPicture> expected;
  PcdWriteOptions options;
  options.topLevel = Level::Base;
  const YccPicture stored = pcd_writer::syntheticPicture(Level::Base);
  BgrImage plain;
  renderUpright(stored, Rotation::None, plain);
  const int w = plain.width, h = plain.height;
  const auto px = [](const BgrImage& img, int x, int y) {
    const uint8_t* p = img.pixels.data() + (static_cast<size_t>(y) * static_cast<size_t>(img.width) + static_cast<size_t>(x)) * 3;
    return std::array<uint8_t, 3>{p[0], p[1], p[2]};
  };
  for (Rotation rotation : {Rotation::None, Rotation::Quarter, Rotation::Half, Rotation::ThreeQuarters}) {
    options.rotation = rotation;
    const Decoded d = decode(writePcd(stored, options), 3);
    ASSERT_EQ(d.status, DecodeStatus::Ok);
    const bool sideways = rotation == Rotation::Quarter || rotation == Rotation::ThreeQuarters;
    ASSERT_EQ(d.image.width, sideways ? h : w);
    ASSERT_EQ(d.image.height, sideways ? w : h);
    int mismatches = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        // Where stored pixel (x, y) must land once turned upright.
        int X = x, Y = y;
        if (rotation == Rotation::Quarter) { X = y; Y = w - 1 - x; }
        if (rotation == Rotation::Half) { X = w - 1 - x; Y = h - 1 - y; }
        if (rotation == Rotation::ThreeQuarters) { X = h - 1 - y; Y = x; }
        mismatches += px(d.image, X, Y) != px(plain, x, y);
      }
    }
    EXPECT_EQ(mismatches, 0) << "rotation " << static_cast<int>(rotation);
  }
}

TEST(PcdDecoder, BaseOnlyFileHasNoCodedLevels) {
  PcdWriteOptions options;
  options.topLevel = Level::Base;
  const std::string file = writePcd(pcd_writer::syntheticPicture(Level::Base), options);
  EXPECT_EQ(decode(file, 3).status, DecodeStatus::Ok);
  for (int n : {4, 5, 6}) EXPECT_EQ(decode(file, n).status, DecodeStatus::NoSuchLevel) << n;
}

TEST(PcdDecoder, RefusesWhatIsNotAnImagePac) {
  EXPECT_EQ(decode("", 0).status, DecodeStatus::NotPhotoCd);
  EXPECT_EQ(decode(std::string(600000, 'x'), 3).status, DecodeStatus::NotPhotoCd);
  std::string file = fourBaseFile();
  file[kHeaderOffset + 3] = 'X';  // "PCD_IPI" spoilt
  EXPECT_EQ(decode(file, 3).status, DecodeStatus::NotPhotoCd);
}

TEST(PcdDecoder, MissingDataGivesDamagedNotAPicture) {
  const std::string& file = fourBaseFile();
  // Only the header: every level is promised but absent.
  const std::string headerOnly = file.substr(0, 4116);
  for (int n = 0; n <= 4; ++n) EXPECT_EQ(decode(headerOnly, n).status, DecodeStatus::Damaged) << n;
  // Cut inside Base: the two smaller levels still decode.
  const std::string cutInBase = file.substr(0, kSectorSize * 200);
  EXPECT_EQ(decode(cutInBase, 2).status, DecodeStatus::Ok);
  EXPECT_EQ(decode(cutInBase, 3).status, DecodeStatus::Damaged);
  // Cut inside the 4Base rows: 4Base with its last rows from Base.
  const std::string cutInRows = file.substr(0, file.size() - 100000);
  EXPECT_EQ(decode(cutInRows, 3).status, DecodeStatus::Ok);
  const Decoded cut = decode(cutInRows, 4);
  EXPECT_EQ(cut.status, DecodeStatus::Ok);
  EXPECT_GT(cut.repairs.rowCount(Level::FourBase), 0);
  EXPECT_TRUE(decode(file, 4).repairs.empty());
}

TEST(PcdDecoder, CorruptTablesOrExtentsGiveDamaged) {
  const std::string& file = fourBaseFile();
  {  // A code longer than 16 bits in the luma table.
    std::string bad = file;
    bad[kFourBaseTableSector * kSectorSize + 1] = 20;
    EXPECT_EQ(decode(bad, 4).status, DecodeStatus::Damaged);
  }
  {  // The sync pattern of the first row is lost: that row is repaired.
    std::string bad = file;
    const size_t first = kFourBaseDataSector * kSectorSize;
    ASSERT_EQ(static_cast<uint8_t>(bad[first + 2]), 0xfe);
    bad[first] = bad[first + 1] = bad[first + 2] = 0;
    const Decoded d = decode(bad, 4);
    EXPECT_EQ(d.status, DecodeStatus::Ok);
    EXPECT_EQ(d.repairs.rowCount(Level::FourBase), 1);
  }
  {  // The header's stop sector points before the rows.
    std::string bad = file;
    bad[kFourBaseStopOffset] = 0;
    bad[kFourBaseStopOffset + 1] = 10;
    EXPECT_EQ(decode(bad, 4).status, DecodeStatus::Damaged);
    EXPECT_EQ(decode(bad, 3).status, DecodeStatus::Ok);
  }
  {  // The header claims 16Base, which is not there.
    std::string bad = file;
    bad[kAttributeOffset] = static_cast<char>(2 << 2);
    EXPECT_EQ(decode(bad, 5).status, DecodeStatus::Damaged);
    EXPECT_EQ(decode(bad, 4).status, DecodeStatus::Ok);
  }
}

TEST(PcdDecoder, SixtyFourBaseIsNeverInASingleImagePac) {
  std::string file = fourBaseFile();
  file[kAttributeOffset] = static_cast<char>(3 << 2);  // header says 64Base
  EXPECT_EQ(decode(file, 6).status, DecodeStatus::NoSuchLevel);
}

}  // namespace
}  // namespace quorbix::pcd
