#include "pcd_writer/damage.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include "pcd/byte_source.h"
#include "pcd/pcd_header.h"

namespace quorbix::pcd_writer {

namespace {

using pcd::kSectorSize;
using pcd::Level;

ByteRange clipped(ByteRange range, const std::string& file) {
  range.end = std::min<uint64_t>(range.end, file.size());
  range.begin = std::min(range.begin, range.end);
  return range;
}

// `count` distinct numbers below `n` (all of them when n is smaller).
std::set<uint64_t> distinctDraws(uint64_t n, int count, uint32_t seed) {
  std::mt19937_64 random(seed);
  std::set<uint64_t> drawn;
  const uint64_t wanted = std::min<uint64_t>(n, static_cast<uint64_t>(std::max(count, 0)));
  while (drawn.size() < wanted) drawn.insert(random() % n);
  return drawn;
}

std::optional<pcd::PcdHeader> headerOf(const std::string& imagePac) {
  const pcd::MemoryByteSource source(reinterpret_cast<const uint8_t*>(imagePac.data()), imagePac.size());
  return pcd::readPcdHeader(source);
}

std::optional<ByteRange> nonEmpty(ByteRange range, const std::string& file) {
  range = clipped(range, file);
  if (range.begin == range.end) return std::nullopt;
  return range;
}

}  // namespace

void flipBits(std::string& file, ByteRange range, int count, uint32_t seed) {
  range = clipped(range, file);
  for (const uint64_t bit : distinctDraws((range.end - range.begin) * 8, count, seed)) {
    file[range.begin + bit / 8] = static_cast<char>(static_cast<uint8_t>(file[range.begin + bit / 8]) ^ (0x80u >> (bit % 8)));
  }
}

void zeroSectors(std::string& file, ByteRange range, int count, uint32_t seed) {
  range = clipped(range, file);
  if (range.begin == range.end) return;
  const uint64_t first = range.begin / kSectorSize;
  const uint64_t last = (range.end - 1) / kSectorSize;
  for (const uint64_t n : distinctDraws(last - first + 1, count, seed)) {
    const uint64_t from = std::max((first + n) * kSectorSize, range.begin);
    const uint64_t to = std::min((first + n + 1) * kSectorSize, range.end);
    std::fill(file.begin() + static_cast<std::ptrdiff_t>(from), file.begin() + static_cast<std::ptrdiff_t>(to), '\0');
  }
}

void cutFile(std::string& file, ByteRange range, double fraction) {
  range = clipped(range, file);
  const double kept = std::floor(std::clamp(fraction, 0.0, 1.0) * static_cast<double>(range.end - range.begin));
  file.resize(range.begin + static_cast<uint64_t>(kept));
}

std::string damaged(std::string file, const Damage& damage) {
  switch (damage.kind) {
    case DamageKind::FlipBits: flipBits(file, damage.range, damage.count, damage.seed); break;
    case DamageKind::ZeroSectors: zeroSectors(file, damage.range, damage.count, damage.seed); break;
    case DamageKind::Cut: cutFile(file, damage.range, damage.fraction); break;
  }
  return file;
}

std::string describe(const Damage& damage) {
  const std::string count = std::to_string(damage.count);
  switch (damage.kind) {
    case DamageKind::FlipBits: return count + (damage.count == 1 ? " flipped bit" : " flipped bits");
    case DamageKind::ZeroSectors: return count + (damage.count == 1 ? " zeroed sector" : " zeroed sectors");
    case DamageKind::Cut: return "cut at " + std::to_string(std::lround(damage.fraction * 100)) + "%";
  }
  return "";
}

std::optional<ByteRange> codedTables(const std::string& imagePac, Level level) {
  const auto header = headerOf(imagePac);
  if (!header || level < Level::FourBase || level > std::min(header->highestLevel, Level::SixteenBase)) return std::nullopt;
  if (level == Level::FourBase) return nonEmpty({pcd::kFourBaseTableSector * kSectorSize, pcd::kFourBaseDataSector * kSectorSize}, imagePac);
  const uint64_t stop = header->fourBaseStopSector;
  return nonEmpty({(stop + pcd::kSixteenBaseTableAfterStop) * kSectorSize, (stop + pcd::kSixteenBaseDataAfterStop) * kSectorSize}, imagePac);
}

std::optional<ByteRange> codedRows(const std::string& imagePac, Level level) {
  const auto header = headerOf(imagePac);
  if (!header || level < Level::FourBase || level > std::min(header->highestLevel, Level::SixteenBase)) return std::nullopt;
  const uint64_t fourBaseStop = header->fourBaseStopSector;
  if (level == Level::FourBase) return nonEmpty({pcd::kFourBaseDataSector * kSectorSize, (fourBaseStop + 1) * kSectorSize}, imagePac);
  return nonEmpty({(fourBaseStop + pcd::kSixteenBaseDataAfterStop) * kSectorSize,
                   (uint64_t{header->sixteenBaseStopSector} + 1) * kSectorSize}, imagePac);
}

std::optional<ByteRange> codedPart(const std::string& imagePac) {
  const auto header = headerOf(imagePac);
  if (!header || header->highestLevel < Level::FourBase) return std::nullopt;
  const uint64_t stop = header->highestLevel >= Level::SixteenBase ? header->sixteenBaseStopSector : header->fourBaseStopSector;
  return nonEmpty({pcd::kFourBaseDataSector * kSectorSize, (stop + 1) * kSectorSize}, imagePac);
}

}  // namespace quorbix::pcd_writer
