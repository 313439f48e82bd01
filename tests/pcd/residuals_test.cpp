#include "pcd/residuals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "pcd_writer/pcd_writer.h"

namespace quorbix::pcd {
namespace {

struct Coded {
  YccPicture prediction;
  YccPicture rebuilt;
  pcd_writer::CodedLevelBytes bytes;
};

Coded makeCoded(bool chroma) {
  const int w = 64, h = 16;
  Coded c;
  c.prediction = YccPicture{Plane(w, h), Plane(w / 2, h / 2), Plane(w / 2, h / 2)};
  YccPicture target = c.prediction;
  Plane* p[3] = {&c.prediction.luma, &c.prediction.chroma1, &c.prediction.chroma2};
  Plane* t[3] = {&target.luma, &target.chroma1, &target.chroma2};
  for (int k = 0; k < 3; ++k) {
    for (size_t i = 0; i < p[k]->pixels.size(); ++i) {
      p[k]->pixels[i] = static_cast<uint8_t>(100 + i % 7);
      t[k]->pixels[i] = static_cast<uint8_t>(90 + (i * 13 + static_cast<size_t>(k)) % 31);
    }
  }
  c.bytes = pcd_writer::encodeCodedLevel(c.prediction, target, chroma, c.rebuilt);
  return c;
}

// Decodes `rows` (with the coded level's tables) onto a copy of the prediction.
bool decode(const Coded& c, const std::string& rows, YccPicture& out, DecodeRepairs* repairs = nullptr) {
  const std::string file = c.bytes.tables + rows;
  MemoryByteSource source(reinterpret_cast<const uint8_t*>(file.data()), file.size());
  CodedLevelExtent extent;
  extent.tableEnd = c.bytes.tables.size();
  extent.dataBegin = extent.tableEnd;
  extent.dataEnd = file.size();
  out = c.prediction;
  return addResiduals(source, extent, out, Level::FourBase, repairs);
}

TEST(Residuals, AddsLumaAndChromaDifferences) {
  const Coded c = makeCoded(true);
  YccPicture out;
  ASSERT_TRUE(decode(c, c.bytes.rows, out));
  EXPECT_TRUE(out.luma.pixels == c.rebuilt.luma.pixels);
  EXPECT_TRUE(out.chroma1.pixels == c.rebuilt.chroma1.pixels);
  EXPECT_TRUE(out.chroma2.pixels == c.rebuilt.chroma2.pixels);
  EXPECT_FALSE(out.chroma1.pixels == c.prediction.chroma1.pixels);
}

TEST(Residuals, LumaOnlyLeavesTheChromaPrediction) {
  const Coded c = makeCoded(false);
  YccPicture out;
  ASSERT_TRUE(decode(c, c.bytes.rows, out));
  EXPECT_TRUE(out.luma.pixels == c.rebuilt.luma.pixels);
  EXPECT_TRUE(out.chroma1.pixels == c.prediction.chroma1.pixels);
}

TEST(Residuals, SkipsJunkBeforeASyncAndIgnoresWhatFollowsTheEnd) {
  const Coded c = makeCoded(true);
  YccPicture out;
  // Junk with long runs of ones but no sync pattern.
  const std::string junk("\x12\xff\xff\x7f\xff\xfd\x00\xff\xff", 9);
  ASSERT_TRUE(decode(c, junk + c.bytes.rows + "\xff\xff\xfe\x00\x00garbage", out));
  EXPECT_TRUE(out.luma.pixels == c.rebuilt.luma.pixels);
  EXPECT_TRUE(out.chroma2.pixels == c.rebuilt.chroma2.pixels);
}

// Rows the data does not hold keep their prediction and are named as
// repaired; the others are decoded as written.
void expectOnlyRepairedRowsDiffer(const Coded& c, const YccPicture& out, const DecodeRepairs& repairs) {
  const int h = out.luma.height;
  int untouched = 0;
  for (int y = 0; y < h; ++y) {
    const bool same = std::equal(out.luma.row(y), out.luma.row(y) + out.luma.width, c.rebuilt.luma.row(y));
    if (!same) {
      EXPECT_NE(repairs.describe(Rotation::None).find("4Base"), std::string::npos);
    } else {
      ++untouched;
    }
  }
  EXPECT_GE(untouched + repairs.rowCount(Level::FourBase), h);
}

TEST(Residuals, CutOrRepeatedRowsCostOnlyTheRowsMissing) {
  const Coded c = makeCoded(true);
  YccPicture out;
  // No data, or not one whole row: no level, and the prediction as it was.
  EXPECT_FALSE(decode(c, "", out));
  EXPECT_FALSE(decode(c, c.bytes.rows.substr(0, 10), out));
  EXPECT_TRUE(out.luma.pixels == c.prediction.luma.pixels);
  for (size_t keep : {c.bytes.rows.size() / 3, c.bytes.rows.size() - 8}) {
    SCOPED_TRACE(keep);
    DecodeRepairs repairs;
    ASSERT_TRUE(decode(c, c.bytes.rows.substr(0, keep), out, &repairs));
    EXPECT_GT(repairs.rowCount(Level::FourBase), 0);
    expectOnlyRepairedRowsDiffer(c, out, repairs);
  }
  // The rows again after a first copy whose end row is cut off: the second
  // copy adds nothing twice.
  const std::string withoutEnd = c.bytes.rows.substr(0, c.bytes.rows.size() - 5);
  DecodeRepairs repairs;
  ASSERT_TRUE(decode(c, withoutEnd + c.bytes.rows, out, &repairs));
  EXPECT_TRUE(out.luma.pixels == c.rebuilt.luma.pixels);
  EXPECT_TRUE(out.chroma2.pixels == c.rebuilt.chroma2.pixels);
  EXPECT_TRUE(repairs.empty());
  // No tables at all: nothing can be decoded.
  Coded noTables = c;
  noTables.bytes.tables.clear();
  EXPECT_FALSE(decode(noTables, c.bytes.rows, out));
}

}  // namespace
}  // namespace quorbix::pcd
