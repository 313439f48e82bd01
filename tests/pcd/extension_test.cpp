// The 64Base extension: its table of contents, its coded sequences on small
// pictures, and the whole level on a full-size Pro picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "pcd/extension_info.h"
#include "pcd/extension_residuals.h"
#include "pcd/pcd_decoder.h"
#include "pcd_writer/extension_writer.h"
#include "pcd_writer/pcd_writer.h"

namespace quorbix::pcd {
namespace {

using pcd_writer::ExtensionFileBytes;
using pcd_writer::ExtensionWriteOptions;
using pcd_writer::MemoryExtensionFiles;

// A small prediction and a target that differs from it everywhere by a
// pattern with many distinct differences.
struct SmallCase {
  YccPicture prediction, target;
};

SmallCase smallCase(int width = 64, int height = 12) {
  SmallCase c;
  Plane* planes[2][3] = {{&c.prediction.luma, &c.prediction.chroma1, &c.prediction.chroma2},
                         {&c.target.luma, &c.target.chroma1, &c.target.chroma2}};
  for (int which = 0; which < 2; ++which) {
    for (int k = 0; k < 3; ++k) {
      Plane& p = *planes[which][k];
      p = k == 0 ? Plane(width, height) : Plane(width / 2, height / 2);
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
          p.row(y)[x] = static_cast<uint8_t>(which == 0 ? 100 + x + k * 20 : 90 + (x * 7 + y * 13 + k * 5) % 61 + x);
    }
  }
  return c;
}

struct SmallResult {
  bool ok = false;
  YccPicture decoded, expected;
  DecodeRepairs repairs;
};

// Writes the small case, lets `damage` change the files, decodes.
SmallResult decodeSmall(const ExtensionWriteOptions& options,
                        const std::function<void(ExtensionFileBytes&)>& damage = nullptr) {
  const SmallCase c = smallCase();
  SmallResult r;
  ExtensionFileBytes files = pcd_writer::writeExtension(c.prediction, c.target, options, r.expected);
  if (damage) damage(files);
  const MemoryExtensionFiles memory(files);
  const auto infoFile = memory.open(kExtensionInfoName);
  if (!infoFile) return r;
  const auto info = parseExtensionInfo(*infoFile);
  if (!info) return r;
  const auto sources = openExtensionSources(*info, memory);
  if (!sources) return r;
  r.decoded = c.prediction;
  r.ok = addExtensionResiduals(*info, *sources, r.decoded, &r.repairs);
  return r;
}

void expectSame(const YccPicture& a, const YccPicture& b) {
  EXPECT_TRUE(a.luma.pixels == b.luma.pixels) << "luma differs";
  EXPECT_TRUE(a.chroma1.pixels == b.chroma1.pixels) << "chroma 1 differs";
  EXPECT_TRUE(a.chroma2.pixels == b.chroma2.pixels) << "chroma 2 differs";
}

TEST(ExtensionResiduals, RebuildsEveryLayoutExactly) {
  struct Layout {
    const char* name;
    ExtensionWriteOptions options;
  };
  std::vector<Layout> layouts(6);
  layouts[0].name = "one file per component";
  layouts[1].name = "luma spread over three files";
  layouts[1].options.lumaFiles = 3;
  layouts[2].name = "a narrower coded band";
  layouts[2].options.codedWidth = 32;
  layouts[2].options.firstColumn = 16;
  layouts[3].name = "luma only";
  layouts[3].options.chroma = false;
  layouts[4].name = "whole rows as one sequence";
  layouts[4].options.sequencesPerRow = 1;
  layouts[5].name = "sixteen sequences per row, no filler";
  layouts[5].options.sequencesPerRow = 16;
  layouts[5].options.leadingBytes = 0;
  const SmallCase original = smallCase();
  for (const Layout& layout : layouts) {
    SCOPED_TRACE(layout.name);
    const SmallResult r = decodeSmall(layout.options);
    ASSERT_TRUE(r.ok);
    expectSame(r.decoded, r.expected);
    EXPECT_FALSE(r.decoded.luma.pixels == original.prediction.luma.pixels) << "nothing was added";
    if (!layout.options.chroma) {
      EXPECT_TRUE(r.decoded.chroma1.pixels == original.prediction.chroma1.pixels);
    }
    if (layout.options.codedWidth > 0) {
      EXPECT_EQ(r.decoded.luma.at(15, 3), original.prediction.luma.at(15, 3)) << "left of the band";
      EXPECT_EQ(r.decoded.luma.at(48, 3), original.prediction.luma.at(48, 3)) << "right of the band";
    }
  }
}

// The first sequence of a file starts at the filler's end: sync in bytes
// 16..18, then the header's three bytes.
constexpr size_t kFirstHeader = 19;

void setHeaderBits(std::string& file, uint32_t mask, uint32_t value) {
  uint32_t header = static_cast<uint32_t>(static_cast<uint8_t>(file[kFirstHeader])) << 16 |
                    static_cast<uint32_t>(static_cast<uint8_t>(file[kFirstHeader + 1])) << 8 |
                    static_cast<uint8_t>(file[kFirstHeader + 2]);
  header = (header & ~mask) | (value & mask);
  file[kFirstHeader] = static_cast<char>(header >> 16);
  file[kFirstHeader + 1] = static_cast<char>(header >> 8 & 0xff);
  file[kFirstHeader + 2] = static_cast<char>(header & 0xff);
}

TEST(ExtensionResiduals, DamagedSequencesCostOnlyTheirRows) {
  EXPECT_FALSE(decodeSmall(ExtensionWriteOptions(), [](ExtensionFileBytes& f) { f.erase("C2_0001.ICR"); }).ok)
      << "a coded-data file is missing";
  const std::vector<std::pair<const char*, std::function<void(ExtensionFileBytes&)>>> damages = {
      {"a file ends early", [](ExtensionFileBytes& f) { f["Y0001.ICR"].resize(f["Y0001.ICR"].size() / 2); }},
      {"the pointer lies past the file's end", [](ExtensionFileBytes& f) { f["C1_0001.ICR"].resize(10); }},
      {"a luma sequence names chroma", [](ExtensionFileBytes& f) { setHeaderBits(f["Y0001.ICR"], 0x300000, 0x100000); }},
      {"a row beyond the plane", [](ExtensionFileBytes& f) { setHeaderBits(f["Y0001.ICR"], 0x0fffc0, 0x0fffc0); }},
      {"a place beyond the row", [](ExtensionFileBytes& f) { setHeaderBits(f["C1_0001.ICR"], 0x1e, 0x1e); }},
      {"the next place named twice", [](ExtensionFileBytes& f) { setHeaderBits(f["Y0001.ICR"], 0x1e, 1 << 1); }},
  };
  for (const auto& [name, damage] : damages) {
    SCOPED_TRACE(name);
    const SmallResult r = decodeSmall(ExtensionWriteOptions(), damage);
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.repairs.empty());
    // Every luma row that differs from what was coded is named.
    for (int y = 0; y < r.decoded.luma.height; ++y) {
      const uint8_t* got = r.decoded.luma.row(y);
      if (!std::equal(got, got + r.decoded.luma.width, r.expected.luma.row(y))) {
        EXPECT_GT(r.repairs.rowCount(Level::SixtyFourBase), 0) << "row " << y;
      }
    }
  }
  // A header with one bit flipped is known by its place in the sequence.
  const SmallResult flipped =
      decodeSmall(ExtensionWriteOptions(), [](ExtensionFileBytes& f) { setHeaderBits(f["Y0001.ICR"], 0x1e, 1 << 1); });
  expectSame(flipped.decoded, flipped.expected);
}

// Offsets in the table of contents the writer produces.
constexpr size_t kLayerCountAt = 0x40;
constexpr size_t kFirstRecord = 0x42;

uint32_t get32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<uint8_t>(s[at + i]);
  return v;
}
void set16(std::string& s, size_t at, uint32_t v) {
  s[at] = static_cast<char>(v >> 8 & 0xff);
  s[at + 1] = static_cast<char>(v & 0xff);
}
void set32(std::string& s, size_t at, uint32_t v) {
  set16(s, at, v >> 16);
  set16(s, at + 2, v & 0xffff);
}

std::optional<ExtensionInfo> parse(const std::string& bytes) {
  return parseExtensionInfo(MemoryByteSource(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

TEST(ExtensionInfo, ReadsWhatTheWriterLaidOut) {
  YccPicture rebuilt;
  const SmallCase c = smallCase();
  ExtensionWriteOptions options;
  options.lumaFiles = 2;
  options.codedWidth = 48;
  options.firstColumn = 8;
  const auto info = parse(pcd_writer::writeExtension(c.prediction, c.target, options, rebuilt).at(kExtensionInfoName));
  ASSERT_TRUE(info);
  EXPECT_EQ(info->fileNames, (std::vector<std::string>{"Y0001.ICR", "Y0001_1.ICR", "C1_0001.ICR", "C2_0001.ICR"}));
  ASSERT_EQ(info->layers.size(), 3u);
  EXPECT_EQ(info->layers[0].width, 48);
  EXPECT_EQ(info->layers[0].height, 12);
  EXPECT_EQ(info->layers[0].firstColumn, 8);
  EXPECT_EQ(info->layers[0].sequenceLength, 12);
  EXPECT_EQ(info->layers[0].sequences.size(), 48u);
  EXPECT_EQ(info->layers[0].sequences[24].file, 1);
  EXPECT_EQ(info->layers[2].width, 24);
  EXPECT_EQ(info->layers[2].sequences.size(), 24u);
  EXPECT_TRUE(info->layers[2].table.valid());
}

TEST(ExtensionInfo, RefusesEveryInconsistentField) {
  YccPicture rebuilt;
  const SmallCase c = smallCase();
  const std::string good = pcd_writer::writeExtension(c.prediction, c.target, ExtensionWriteOptions(), rebuilt).at(kExtensionInfoName);
  ASSERT_TRUE(parse(good));
  const size_t fileList = get32(good, 0x30);
  const size_t firstName = fileList + 2;
  const std::vector<std::pair<const char*, std::function<void(std::string&)>>> damages = {
      {"cut inside the header", [](std::string& s) { s.resize(0x30); }},
      {"two layers", [](std::string& s) { set16(s, kLayerCountAt, 2); }},
      {"no files", [&](std::string& s) { set16(s, fileList, 0); }},
      {"eleven files", [&](std::string& s) { set16(s, fileList, 11); }},
      {"fewer files than layers", [&](std::string& s) { set16(s, fileList, 2); }},
      {"a name leading out of the folder", [&](std::string& s) { s.replace(firstName, 9, "../Y0.ICR"); }},
      {"a name with a slash", [&](std::string& s) { s.replace(firstName, 9, "Y/001.ICR"); }},
      {"a layer record too short", [](std::string& s) { set16(s, kFirstRecord, 10); }},
      {"zero pixels per sequence", [](std::string& s) { set32(s, kFirstRecord + 10, 0); }},
      {"sequences longer than the row", [](std::string& s) { set32(s, kFirstRecord + 10, 65); }},
      {"pointers past the end", [](std::string& s) { set32(s, kFirstRecord + 14, static_cast<uint32_t>(s.size() - 8)); }},
      {"a pointer to a file not listed",
       [](std::string& s) { set16(s, get32(s, kFirstRecord + 14), 7); }},
      {"tables past the end", [](std::string& s) { set32(s, 0x38, static_cast<uint32_t>(s.size())); }},
      {"a table with a code longer than 16 bits", [](std::string& s) { s[get32(s, 0x38) + 1] = 20; }},
      {"larger than any real one", [](std::string& s) { s.resize(kMaxExtensionInfoBytes + 1, '\0'); }},
  };
  for (const auto& [name, damage] : damages) {
    SCOPED_TRACE(name);
    std::string bad = good;
    damage(bad);
    EXPECT_FALSE(parse(bad));
  }
}

// One full-size Pro picture, portrait, shared by the tests below.
const pcd_writer::ProPhotoCd& proPicture() {
  static const pcd_writer::ProPhotoCd picture =
      pcd_writer::writeProPhotoCd(pcd_writer::syntheticPicture(Level::SixtyFourBase, true), Rotation::Quarter, ExtensionWriteOptions());
  return picture;
}

DecodeStatus decodeProLevel(const std::string& imagePac, const ExtensionFileBytes* extension, Level level,
                            YccPicture& picture) {
  const MemoryByteSource source(reinterpret_cast<const uint8_t*>(imagePac.data()), imagePac.size());
  const auto header = readPcdHeader(source);
  if (!header) return DecodeStatus::NotPhotoCd;
  if (extension == nullptr) return decodeYcc(source, *header, level, picture);
  const MemoryExtensionFiles files(*extension);
  return decodeYcc(source, *header, level, picture, &files);
}

// One test, as writing the full-size picture takes a while.
TEST(SixtyFourBase, RebuildsTheFullPictureExactlyOrReportsWhatIsWrong) {
  const pcd_writer::ProPhotoCd& pro = proPicture();
  YccPicture picture;
  ASSERT_EQ(decodeProLevel(pro.imagePac, &pro.extension, Level::SixtyFourBase, picture), DecodeStatus::Ok);
  EXPECT_EQ(picture.luma.width, 6144);
  EXPECT_EQ(picture.luma.height, 4096);
  expectSame(picture, pro.expected.back());
  BgrImage image;
  renderUpright(picture, Rotation::Quarter, image);
  EXPECT_EQ(image.width, 4096);
  EXPECT_EQ(image.height, 6144);

  SCOPED_TRACE("without the extension, or without its table of contents: no such level");
  EXPECT_EQ(decodeProLevel(pro.imagePac, nullptr, Level::SixtyFourBase, picture), DecodeStatus::NoSuchLevel);
  ExtensionFileBytes withoutInfo = pro.extension;
  withoutInfo.erase(kExtensionInfoName);
  EXPECT_EQ(decodeProLevel(pro.imagePac, &withoutInfo, Level::SixtyFourBase, picture), DecodeStatus::NoSuchLevel);

  SCOPED_TRACE("a coded-data file missing: damaged; cut short: the rows it still holds");
  ExtensionFileBytes withoutLuma = pro.extension;
  withoutLuma.erase("Y0001.ICR");
  EXPECT_EQ(decodeProLevel(pro.imagePac, &withoutLuma, Level::SixtyFourBase, picture), DecodeStatus::Damaged);
  ExtensionFileBytes cut = pro.extension;
  cut["C1_0001.ICR"].resize(cut["C1_0001.ICR"].size() - 1000);
  EXPECT_EQ(decodeProLevel(pro.imagePac, &cut, Level::SixtyFourBase, picture), DecodeStatus::Ok);
  EXPECT_TRUE(picture.luma.pixels == pro.expected.back().luma.pixels);

  SCOPED_TRACE("an Image Pac without 16Base has no 64Base, whatever lies beside it");
  pcd_writer::PcdWriteOptions fourBase;
  fourBase.topLevel = Level::FourBase;
  const std::string small = pcd_writer::writePcd(pcd_writer::syntheticPicture(Level::FourBase), fourBase);
  EXPECT_EQ(decodeProLevel(small, &pro.extension, Level::SixtyFourBase, picture), DecodeStatus::NoSuchLevel);
}

}  // namespace
}  // namespace quorbix::pcd
