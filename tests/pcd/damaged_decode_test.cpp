// Damaged coded data costs only the rows it touches: with bits flipped,
// sectors zeroed or the file cut short in the 4Base rows, the 16Base rows or
// a 64Base extension file, the top level still comes out whole at its full
// size, close to the clean file's picture, and the repairs name the damaged
// level and no other. Each case draws its damage from its seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pcd/byte_source.h"
#include "pcd/pcd_decoder.h"
#include "pcd_writer/damage.h"
#include "pcd_writer/extension_writer.h"
#include "pcd_writer/pcd_writer.h"
#include "support/test_paths.h"

namespace quorbix::pcd {
namespace {

using pcd_writer::ByteRange;
using pcd_writer::Damage;
using pcd_writer::DamageKind;
using pcd_writer::ExtensionFileBytes;

struct Decoded {
  DecodeStatus status = DecodeStatus::NotPhotoCd;
  BgrImage image;
  DecodeRepairs repairs;
};

Decoded decode(const std::string& imagePac, int subImage, const ExtensionFileBytes* extension = nullptr) {
  const MemoryByteSource source(reinterpret_cast<const uint8_t*>(imagePac.data()), imagePac.size());
  static const ExtensionFileBytes none;
  const pcd_writer::MemoryExtensionFiles files(extension ? *extension : none);
  Decoded d;
  d.status = decodeSubImage(source, subImage, d.image, extension ? &files : nullptr, &d.repairs);
  return d;
}

// The same Image Pac stored turned otherwise: only the header's two
// rotation bits differ.
std::string turned(std::string imagePac, Rotation rotation) {
  char& attributes = imagePac[kAttributeOffset];
  attributes = static_cast<char>((attributes & ~3) | static_cast<int>(rotation));
  return imagePac;
}

bool isSideways(Rotation rotation) { return rotation == Rotation::Quarter || rotation == Rotation::ThreeQuarters; }

// Per stored row (an upright row, or an upright column of a picture stored
// on its side), the squared differences of two pictures over B, G, R.
std::vector<double> lineErrors(const BgrImage& a, const BgrImage& b, Rotation rotation) {
  const bool sideways = isSideways(rotation);
  std::vector<double> errors(static_cast<size_t>(sideways ? a.width : a.height), 0.0);
  const uint8_t* p = a.pixels.data();
  const uint8_t* q = b.pixels.data();
  for (size_t y = 0; y < static_cast<size_t>(a.height); ++y) {
    for (size_t x = 0; x < static_cast<size_t>(a.width); ++x, p += 3, q += 3) {
      const int d0 = p[0] - q[0], d1 = p[1] - q[1], d2 = p[2] - q[2];
      errors[sideways ? x : y] += d0 * d0 + d1 * d1 + d2 * d2;
    }
  }
  return errors;
}

long changedPixels(const BgrImage& a, const BgrImage& b) {
  long changed = 0;
  for (size_t at = 0; at < a.pixels.size(); at += 3) changed += !std::equal(&a.pixels[at], &a.pixels[at] + 3, &b.pixels[at]);
  return changed;
}

// A flipped bit that turns one code into another of the same length cannot
// be noticed: it changes one difference, or a few before the codes fall in
// step again, which the enlargements and the chroma interpolation spread
// over at most this many pixels. A picture changed more must be repaired.
constexpr long kUnnoticedPixelsPerBit = 500;
// The most luma rows one flipped bit can spoil (its row and, through a
// spoilt row number, another; a chroma row counts two), and one zeroed
// sector (the shortest coded rows are chroma rows of 4Base, 20 to a sector).
constexpr int kRowsPerFlippedBit = 8;
constexpr int kRowsPerZeroedSector = 64;

// The clean file's picture and what a damaged copy is held to: 45 dB for
// flipped bits and zeroed sectors, 25 dB for a cut, or, where the picture's
// own detail makes that unreachable, as close as the level below the
// damaged one comes, enlarged to full size, on the stored rows it changed.
struct Reference {
  Decoded clean;
  Rotation rotation = Rotation::None;
  Level top = Level::SixteenBase;
  std::map<Level, std::vector<double>> lossPerLine;  // by damaged level: lineErrors against that picture
};

// Kinds take turns; the amount comes from the seed: 1 to 40 bits, 1 to 4
// sectors, or a cut at 95%, 70% or 40% of `cutRange`.
Damage drawDamage(uint32_t seed, ByteRange range, ByteRange cutRange) {
  std::mt19937 random(seed);
  Damage damage;
  damage.seed = seed;
  damage.kind = static_cast<DamageKind>(seed % 3);
  damage.count = static_cast<int>(damage.kind == DamageKind::FlipBits ? 1 + random() % 40 : 1 + random() % 4);
  damage.fraction = std::vector<double>{0.95, 0.70, 0.40}[seed / 3 % 3];
  damage.range = damage.kind == DamageKind::Cut ? cutRange : range;
  return damage;
}

// The coded level whose data holds the byte at `offset` of an Image Pac.
Level levelAt(const std::string& imagePac, uint64_t offset) {
  const auto sixteenBase = pcd_writer::codedTables(imagePac, Level::SixteenBase);
  return sixteenBase && offset >= sixteenBase->begin ? Level::SixteenBase : Level::FourBase;
}

// What every damaged decode must show against the clean one. A repaired
// row of `hit` spreads over `scale` rows of the top level, and by the
// enlargements and the chroma interpolation a few more on each side of each
// stretch of damage.
void expectRepaired(const Reference& reference, const Decoded& damaged, const Damage& damage, Level hit) {
  const BgrImage& clean = reference.clean.image;
  ASSERT_EQ(damaged.status, DecodeStatus::Ok) << describe(damaged.status);
  ASSERT_EQ(damaged.image.width, clean.width);
  ASSERT_EQ(damaged.image.height, clean.height);
  const std::vector<double> errors = lineErrors(clean, damaged.image, reference.rotation);
  const auto toPsnr = [&](double squares) {
    return squares == 0 ? std::numeric_limits<double>::infinity()
                        : 10 * std::log10(255.0 * 255.0 * static_cast<double>(clean.pixels.size()) / squares);
  };
  double squares = 0, lossOnChangedLines = 0;
  int changedLines = 0;
  for (size_t line = 0; line < errors.size(); ++line) {
    if (errors[line] == 0) continue;
    squares += errors[line];
    ++changedLines;
    if (reference.lossPerLine.count(hit)) lossOnChangedLines += reference.lossPerLine.at(hit)[line];
  }
  const double bound = std::min(damage.kind == DamageKind::Cut ? 25.0 : 45.0, toPsnr(lossOnChangedLines));
  EXPECT_GE(toPsnr(squares), bound);

  const std::string repairs = damaged.repairs.describe(reference.rotation);
  const long changed = damage.kind == DamageKind::FlipBits ? changedPixels(clean, damaged.image) : 0;
  if (damage.kind != DamageKind::FlipBits || changed > kUnnoticedPixelsPerBit * damage.count) {
    const std::string opening = std::string(levelName(hit)) + (isSideways(reference.rotation) ? " columns " : " rows ");
    EXPECT_EQ(repairs.rfind(opening, 0), 0u) << changed << " pixels changed; repairs: \"" << repairs << '"';
  }
  for (Level level : {Level::FourBase, Level::SixteenBase, Level::SixtyFourBase}) {
    if (level == hit) continue;
    EXPECT_EQ(damaged.repairs.rowCount(level), 0) << levelName(level) << " was not damaged";
  }
  const int repaired = damaged.repairs.rowCount(hit);
  if (damage.kind != DamageKind::Cut) {
    const int perDamage = damage.kind == DamageKind::FlipBits ? kRowsPerFlippedBit : kRowsPerZeroedSector;
    EXPECT_LE(repaired, perDamage * damage.count) << "more rows repaired than were damaged";
  }
  const int scale = levelHeight(reference.top) / levelHeight(hit);
  const int stretches = damage.kind == DamageKind::Cut ? 3 : damage.count;  // a cut: the tail of each component
  EXPECT_LE(changedLines, scale * repaired + stretches * (4 * scale + 4))
      << "rows changed that the repairs do not name: " << repairs;
}

// The picture of sub-image `subImage`, enlarged to 16Base.
BgrImage enlargedTo16Base(const std::string& imagePac, int subImage) {
  const MemoryByteSource source(reinterpret_cast<const uint8_t*>(imagePac.data()), imagePac.size());
  YccPicture picture;
  Rotation rotation = Rotation::None;
  BgrImage image;
  if (decodeStored(source, subImage, picture, rotation) != DecodeStatus::Ok) return image;
  while (picture.luma.width < levelWidth(Level::SixteenBase)) {
    picture = {upsample2x(picture.luma), upsample2x(picture.chroma1), upsample2x(picture.chroma2)};
  }
  renderUpright(picture, rotation, image);
  return image;
}

// The 16Base picture of a clean Image Pac, and on each row how far Base
// and 4Base enlarged fall from it.
Reference sixteenBaseReference(const std::string& imagePac) {
  Reference reference;
  reference.clean = decode(imagePac, 5);
  const MemoryByteSource source(reinterpret_cast<const uint8_t*>(imagePac.data()), imagePac.size());
  reference.rotation = readPcdHeader(source).value_or(PcdHeader()).rotation;
  for (Level lost : {Level::FourBase, Level::SixteenBase}) {
    const BgrImage below = enlargedTo16Base(imagePac, lost == Level::FourBase ? 3 : 4);
    if (below.pixels.size() != reference.clean.image.pixels.size()) continue;
    reference.lossPerLine[lost] = lineErrors(reference.clean.image, below, reference.rotation);
  }
  return reference;
}

// Cases seeds first .. first+count-1 on an Image Pac at sub-image 5: the
// bits and sectors go to the 4Base or the 16Base rows, the cuts to the
// coded part.
void checkImagePacCases(const std::string& imagePac, uint32_t first, uint32_t count) {
  const Reference reference = sixteenBaseReference(imagePac);
  ASSERT_EQ(reference.clean.status, DecodeStatus::Ok);
  EXPECT_TRUE(reference.clean.repairs.empty()) << reference.clean.repairs.describe(reference.rotation);
  const bool sideways = isSideways(reference.rotation);
  EXPECT_EQ(reference.clean.image.width, sideways ? 2048 : 3072);
  EXPECT_EQ(reference.clean.image.height, sideways ? 3072 : 2048);

  const auto part = pcd_writer::codedPart(imagePac);
  const auto fourBase = pcd_writer::codedRows(imagePac, Level::FourBase);
  const auto sixteenBase = pcd_writer::codedRows(imagePac, Level::SixteenBase);
  ASSERT_TRUE(part && fourBase && sixteenBase);
  for (uint32_t seed = first; seed < first + count; ++seed) {
    const Damage damage = drawDamage(seed, seed % 2 ? *fourBase : *sixteenBase, *part);
    const std::string bytes = pcd_writer::damaged(imagePac, damage);
    const Level hit = levelAt(imagePac, damage.kind == DamageKind::Cut ? bytes.size() : damage.range.begin);
    SCOPED_TRACE(pcd_writer::describe(damage) + " in the " + levelName(hit) + " data, seed " + std::to_string(seed));
    if (damage.kind == DamageKind::Cut) {
      ASSERT_EQ(hit, Level::SixteenBase) << "a cut before its tables leaves no 16Base";
    }
    expectRepaired(reference, decode(bytes, 5), damage, hit);
  }
}

// One project-made 16Base picture, written once (it takes a while).
const std::string& sixteenBasePicture() {
  static const std::string file = [] {
    pcd_writer::PcdWriteOptions options;
    options.topLevel = Level::SixteenBase;
    return pcd_writer::writePcd(pcd_writer::syntheticPicture(Level::SixteenBase), options);
  }();
  return file;
}

TEST(DamagedDecode, SixteenBaseComesOutWholeWhateverHitItsRows) {
  checkImagePacCases(sixteenBasePicture(), 1, 6);
  SCOPED_TRACE("stored a quarter turn: the repairs name upright columns");
  checkImagePacCases(turned(sixteenBasePicture(), Rotation::Quarter), 7, 3);
}

TEST(DamagedDecode, UnreadableSixteenBaseTablesLeaveFourBaseIntact) {
  const std::string& clean = sixteenBasePicture();
  const auto tables = pcd_writer::codedTables(clean, Level::SixteenBase);
  ASSERT_TRUE(tables);
  std::string bytes = clean;
  pcd_writer::zeroSectors(bytes, {tables->begin, tables->begin + kSectorSize}, 1, 1);
  const Decoded sixteenBase = decode(bytes, 5);
  EXPECT_EQ(sixteenBase.status, DecodeStatus::Damaged)
      << describe(sixteenBase.status) << "; repairs: " << sixteenBase.repairs.describe(Rotation::None);
  const Decoded fourBase = decode(bytes, 4);
  ASSERT_EQ(fourBase.status, DecodeStatus::Ok);
  EXPECT_TRUE(fourBase.repairs.empty()) << fourBase.repairs.describe(Rotation::None);
  EXPECT_TRUE(fourBase.image.pixels == decode(clean, 4).image.pixels);
}

TEST(DamagedDecode, SixtyFourBaseComesOutWholeWhateverHitItsExtensionData) {
  const pcd_writer::ProPhotoCd pro = pcd_writer::writeProPhotoCd(
      pcd_writer::syntheticPicture(Level::SixtyFourBase, true), Rotation::Quarter, pcd_writer::ExtensionWriteOptions());
  Reference reference;
  reference.clean = decode(pro.imagePac, 6, &pro.extension);
  reference.rotation = Rotation::Quarter;
  reference.top = Level::SixtyFourBase;
  ASSERT_EQ(reference.clean.status, DecodeStatus::Ok);
  EXPECT_TRUE(reference.clean.repairs.empty()) << reference.clean.repairs.describe(Rotation::Quarter);
  EXPECT_EQ(reference.clean.image.width, 4096);
  EXPECT_EQ(reference.clean.image.height, 6144);
  const std::vector<std::string> dataFiles = {"C1_0001.ICR", "C2_0001.ICR", "Y0001.ICR"};
  for (uint32_t seed = 1; seed <= 3; ++seed) {
    const std::string& name = dataFiles[seed * 7 % dataFiles.size()];
    ASSERT_TRUE(pro.extension.count(name)) << name;
    const ByteRange whole{0, pro.extension.at(name).size()};
    const Damage damage = drawDamage(seed, whole, whole);
    SCOPED_TRACE(pcd_writer::describe(damage) + " in " + name + ", seed " + std::to_string(seed));
    ExtensionFileBytes extension = pro.extension;
    extension[name] = pcd_writer::damaged(extension[name], damage);
    expectRepaired(reference, decode(pro.imagePac, 6, &extension), damage, Level::SixtyFourBase);
  }
}

TEST(DamagedDecode, RealScanComesOutWholeWhateverHitItsCodedPart) {
  if (test::samplesDir().empty()) GTEST_SKIP() << "no ../shared/samples";
  const std::string path = test::samplesDir() + "portrait-16base.pcd";
  const auto source = FileByteSource::open(path);
  ASSERT_TRUE(source) << path;
  std::string imagePac(source->size(), '\0');
  ASSERT_TRUE(source->read(0, reinterpret_cast<uint8_t*>(imagePac.data()), imagePac.size()));
  checkImagePacCases(imagePac, 2, 7);
}

}  // namespace
}  // namespace quorbix::pcd
