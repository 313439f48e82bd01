// Writes damaged copies of a PhotoCD file for bench/pcd_damage.sh:
//   bench_pcd_damage <input> <folder> flip|zero|cut <amount> <seeds> [coded|4base|16base|all]
// flip: <amount> random bits flipped; zero: <amount> random 2048-byte
// sectors zeroed; cut: the file cut at <amount> percent of the range. The
// damage stays inside the range: an Image Pac's coded part (the default),
// the rows of its 4Base or 16Base level, or the whole file (for a 64Base
// extension's data file). Random kinds make one copy per seed 1..<seeds>,
// <folder>/<name>-flip5-s2.<ext>; a cut makes one, <name>-cut70.<ext>. The
// copies' paths go to standard output, one a line. Exit status 2 for a wrong
// command line, 1 when the file cannot be read or written, or the range is
// not in it.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "pcd_writer/damage.h"
#include "platform/file_system.h"

namespace {

using quorbix::pcd::Level;
using quorbix::pcd_writer::ByteRange;
using quorbix::pcd_writer::Damage;
using quorbix::pcd_writer::DamageKind;

int usage() {
  std::fprintf(stderr, "usage: bench_pcd_damage <input> <folder> flip|zero|cut <amount> <seeds> [coded|4base|16base|all]\n");
  return 2;
}

std::optional<ByteRange> rangeOf(const std::string& file, const std::string& name) {
  if (name == "coded") return quorbix::pcd_writer::codedPart(file);
  if (name == "4base") return quorbix::pcd_writer::codedRows(file, Level::FourBase);
  if (name == "16base") return quorbix::pcd_writer::codedRows(file, Level::SixteenBase);
  if (name == "all") return ByteRange{0, file.size()};
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6 && argc != 7) return usage();
  const std::string input = argv[1];
  const std::string folder = argv[2];
  const std::string kind = argv[3];
  const int amount = std::atoi(argv[4]);
  const int seeds = std::atoi(argv[5]);
  const std::string rangeName = argc == 7 ? argv[6] : "coded";
  const bool knownRange = rangeName == "coded" || rangeName == "4base" || rangeName == "16base" || rangeName == "all";
  if ((kind != "flip" && kind != "zero" && kind != "cut") || amount < 1 || seeds < 1 ||
      (kind == "cut" && amount > 100) || !knownRange) {
    return usage();
  }
  std::string file;
  if (!quorbix::platform::readWholeFile(input, file)) {
    std::fprintf(stderr, "bench_pcd_damage: cannot read %s\n", input.c_str());
    return 1;
  }
  Damage damage;
  damage.kind = kind == "flip" ? DamageKind::FlipBits : kind == "zero" ? DamageKind::ZeroSectors : DamageKind::Cut;
  damage.count = amount;
  damage.fraction = amount / 100.0;
  const std::optional<ByteRange> range = rangeOf(file, rangeName);
  if (!range) {
    std::fprintf(stderr, "bench_pcd_damage: %s has no %s range\n", input.c_str(), rangeName.c_str());
    return 1;
  }
  damage.range = *range;

  const std::filesystem::path path(input);
  const std::string stem = (std::filesystem::path(folder) / path.stem()).string() + "-" + kind + std::to_string(amount);
  for (int seed = 1; seed <= (damage.kind == DamageKind::Cut ? 1 : seeds); ++seed) {
    damage.seed = static_cast<uint32_t>(seed);
    const std::string name =
        stem + (damage.kind == DamageKind::Cut ? "" : "-s" + std::to_string(seed)) + path.extension().string();
    if (!quorbix::platform::writeWholeFile(name, quorbix::pcd_writer::damaged(file, damage))) {
      std::fprintf(stderr, "bench_pcd_damage: cannot write %s\n", name.c_str());
      return 1;
    }
    std::printf("%s\n", name.c_str());
  }
  return 0;
}
