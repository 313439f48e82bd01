// make-sample-pcd: writes a project-made PhotoCD Image Pac from a synthetic
// picture, for trying the converter and quorbix without third-party files.
//   make-sample-pcd <output.pcd> [--top base|4base|16base|64base] [--portrait] [--luma-only]
//   make-sample-pcd <output.pcd> --scene gallery [--top base|4base|16base] [--luma-only]
//   make-sample-pcd --fuzz-seeds <folder>
// With --top 64base the picture's 64Base extension is written too, where a
// Pro PhotoCD disc keeps it: <output's folder>/../IPE/<name>/64BASE/, so
// write the picture as <disc>/IMAGES/<name>.PCD. The Image Pac header carries
// made-up scan facts (pcd_writer::sampleFacts) as a scanner would write them.
// --scene gallery draws the busier scene of the README's gallery instead of
// the landscape (landscape only, up to 16Base).
// The second form writes seed inputs for the fuzz targets into <folder>/file,
// <folder>/residuals and <folder>/extension (the folders must exist), some
// of them with damaged coded data.
// Anything else, and any other argument beginning with "-", writes nothing:
// the usage goes to standard error and the exit status is 2.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "gallery_scene.h"
#include "pcd/extension_info.h"
#include "pcd/plane.h"
#include "pcd_writer/damage.h"
#include "pcd_writer/extension_writer.h"
#include "pcd_writer/pcd_writer.h"
#include "platform/file_system.h"

namespace {

using quorbix::pcd::Level;
using quorbix::pcd::Plane;
using quorbix::pcd::Rotation;
using quorbix::pcd::YccPicture;
using quorbix::pcd_writer::Damage;
using quorbix::pcd_writer::DamageKind;
using quorbix::pcd_writer::PcdWriteOptions;

bool save(const std::string& path, const std::string& bytes) {
  return quorbix::platform::writeWholeFile(path, bytes);
}

int usage(const char* self) {
  std::fprintf(stderr,
               "usage: %s <output.pcd> [--top base|4base|16base|64base] [--portrait] [--luma-only]\n"
               "       %s <output.pcd> --scene gallery [--top base|4base|16base] [--luma-only]\n"
               "       %s --fuzz-seeds <folder>\n",
               self, self, self);
  return 2;
}

// A small coded level in the residual fuzz target's input form: width code,
// height code, table length (big-endian), tables, rows.
std::string residualSeed(int widthCode, int heightCode, bool chroma, int pattern) {
  const int w = 8 * (1 + widthCode % 32);
  const int h = 2 * (1 + heightCode % 64);
  YccPicture prediction{Plane(w, h), Plane(w / 2, h / 2), Plane(w / 2, h / 2)};
  YccPicture target = prediction;
  for (Plane* p : {&prediction.luma, &prediction.chroma1, &prediction.chroma2}) std::fill(p->pixels.begin(), p->pixels.end(), 128);
  Plane* planes[3] = {&target.luma, &target.chroma1, &target.chroma2};
  for (int c = 0; c < 3; ++c) {
    Plane& p = *planes[c];
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x) p.row(y)[x] = static_cast<uint8_t>(128 + ((x * (pattern + 1) + y * 3 + c * 7) % 41) - 20);
  }
  YccPicture rebuilt;
  const auto coded = quorbix::pcd_writer::encodeCodedLevel(prediction, target, chroma, rebuilt);
  std::string seed;
  seed.push_back(static_cast<char>(widthCode));
  seed.push_back(static_cast<char>(heightCode));
  seed.push_back(static_cast<char>(coded.tables.size() >> 8));
  seed.push_back(static_cast<char>(coded.tables.size() & 0xff));
  return seed + coded.tables + coded.rows;
}

// The Image Pac and, beside its folder, its 64Base extension.
int writeProPhotoCd(const std::string& path, Rotation rotation, bool chroma) {
  quorbix::pcd_writer::ExtensionWriteOptions options;
  options.chroma = chroma;
  const auto written = quorbix::pcd_writer::writeProPhotoCd(
      quorbix::pcd_writer::syntheticPicture(Level::SixtyFourBase, rotation == Rotation::Quarter), rotation, options);
  namespace fs = std::filesystem;
  const fs::path image = fs::absolute(path);
  const fs::path folder = image.parent_path().parent_path() / "IPE" / image.stem() / "64BASE";
  std::error_code error;
  fs::create_directories(folder, error);
  bool ok = !error && save(path, written.imagePac);
  for (const auto& [name, bytes] : written.extension) ok = ok && save((folder / name).string(), bytes);
  if (!ok) std::fprintf(stderr, "make-sample-pcd: cannot write %s and its extension in %s\n", path.c_str(), folder.string().c_str());
  return ok ? 0 : 1;
}

// A small 64Base extension of the extension fuzz target's picture: luma
// 64 x 12.
quorbix::pcd_writer::ExtensionFileBytes smallExtension(const quorbix::pcd_writer::ExtensionWriteOptions& options) {
  YccPicture prediction{Plane(64, 12), Plane(32, 6), Plane(32, 6)};
  YccPicture target = prediction;
  Plane* before[3] = {&prediction.luma, &prediction.chroma1, &prediction.chroma2};
  Plane* after[3] = {&target.luma, &target.chroma1, &target.chroma2};
  for (int c = 0; c < 3; ++c) {
    std::fill(before[c]->pixels.begin(), before[c]->pixels.end(), 128);
    for (int y = 0; y < after[c]->height; ++y)
      for (int x = 0; x < after[c]->width; ++x) after[c]->row(y)[x] = static_cast<uint8_t>(110 + (x * 5 + y * 3 + c) % 37);
  }
  YccPicture rebuilt;
  return quorbix::pcd_writer::writeExtension(prediction, target, options, rebuilt);
}

// An extension in the extension fuzz target's input form: each piece
// (INFO.IC, then the files in its list's order) as a big-endian u32 length
// and its bytes.
std::string extensionSeed(const quorbix::pcd_writer::ExtensionFileBytes& files) {
  const auto piece = [](const std::string& bytes) {
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>(bytes.size() >> shift & 0xff));
    return out + bytes;
  };
  const std::string& info = files.at(quorbix::pcd::kExtensionInfoName);
  std::string seed = piece(info);
  const quorbix::pcd::MemoryByteSource infoSource(reinterpret_cast<const uint8_t*>(info.data()), info.size());
  const auto parsed = quorbix::pcd::parseExtensionInfo(infoSource);
  for (const std::string& name : parsed->fileNames) seed += piece(files.at(name));
  return seed;
}

// `files` with one of them damaged in its coded data (after the filler).
quorbix::pcd_writer::ExtensionFileBytes withDamage(quorbix::pcd_writer::ExtensionFileBytes files, const std::string& name,
                                                   Damage damage) {
  const auto filler = static_cast<uint64_t>(quorbix::pcd_writer::ExtensionWriteOptions().leadingBytes);
  damage.range = {filler, files.at(name).size()};
  files[name] = quorbix::pcd_writer::damaged(files[name], damage);
  return files;
}

// An Image Pac damaged inside `range`, with one byte more at its end: the
// file fuzz target decodes the sub-image that byte names, here the damaged
// level's `subImage`.
std::string withDamage(const std::string& imagePac, const std::optional<quorbix::pcd_writer::ByteRange>& range, Damage damage,
                       int subImage) {
  std::string file = imagePac;
  if (range) {
    damage.range = *range;
    file = quorbix::pcd_writer::damaged(file, damage);
  }
  return file + static_cast<char>(subImage);
}

Damage damageOf(DamageKind kind, int count, double fraction = 1.0) {
  Damage damage;
  damage.kind = kind;
  damage.count = count;
  damage.fraction = fraction;
  return damage;
}

int writeFuzzSeeds(const std::string& folder) {
  bool ok = true;
  quorbix::pcd_writer::ExtensionWriteOptions extension;
  const auto threeLayers = smallExtension(extension);
  ok &= save(folder + "/extension/three-layers", extensionSeed(threeLayers));
  // Damaged coded data, which the decoder repairs sequence by sequence.
  ok &= save(folder + "/extension/three-layers-flipped",
             extensionSeed(withDamage(threeLayers, "Y0001.ICR", damageOf(DamageKind::FlipBits, 6))));
  ok &= save(folder + "/extension/three-layers-zeroed",
             extensionSeed(withDamage(threeLayers, "C1_0001.ICR", damageOf(DamageKind::ZeroSectors, 1))));
  ok &= save(folder + "/extension/three-layers-cut",
             extensionSeed(withDamage(threeLayers, "C2_0001.ICR", damageOf(DamageKind::Cut, 0, 0.6))));
  extension.lumaFiles = 2;
  extension.chroma = false;
  extension.codedWidth = 32;
  extension.firstColumn = 16;
  ok &= save(folder + "/extension/luma-in-two-files", extensionSeed(smallExtension(extension)));
  ok &= save(folder + "/residuals/luma-only", residualSeed(3, 5, false, 1));
  ok &= save(folder + "/residuals/with-chroma", residualSeed(7, 9, true, 2));
  ok &= save(folder + "/residuals/tiny", residualSeed(0, 0, true, 0));
  PcdWriteOptions options;
  options.topLevel = Level::Base;
  ok &= save(folder + "/file/base-only.pcd", quorbix::pcd_writer::writePcd(quorbix::pcd_writer::syntheticPicture(Level::Base), options));
  options.topLevel = Level::FourBase;
  options.rotation = Rotation::Quarter;
  const std::string fourBase = quorbix::pcd_writer::writePcd(quorbix::pcd_writer::syntheticPicture(Level::FourBase, true), options);
  ok &= save(folder + "/file/4base-portrait.pcd", fourBase);
  ok &= save(folder + "/file/4base-cut.pcd", fourBase.substr(0, fourBase.size() - 40000));
  // Damaged rows, which the decoder repairs: flipped bits, a zeroed sector.
  const auto fourBaseRows = quorbix::pcd_writer::codedRows(fourBase, Level::FourBase);
  ok &= save(folder + "/file/4base-flipped.pcd", withDamage(fourBase, fourBaseRows, damageOf(DamageKind::FlipBits, 12), 4));
  ok &= save(folder + "/file/4base-zeroed.pcd", withDamage(fourBase, fourBaseRows, damageOf(DamageKind::ZeroSectors, 1), 4));
  options.topLevel = Level::SixteenBase;
  options.rotation = Rotation::None;
  options.chromaDifferences = false;
  const std::string sixteenBase = quorbix::pcd_writer::writePcd(quorbix::pcd_writer::syntheticPicture(Level::SixteenBase), options);
  ok &= save(folder + "/file/16base-luma-only.pcd", sixteenBase);
  // Cut inside the 16Base rows: the rows after the cut are missing.
  ok &= save(folder + "/file/16base-cut.pcd",
             withDamage(sixteenBase, quorbix::pcd_writer::codedRows(sixteenBase, Level::SixteenBase), damageOf(DamageKind::Cut, 0, 0.5), 5));
  if (!ok) std::fprintf(stderr, "make-sample-pcd: cannot write the seeds into %s\n", folder.c_str());
  return ok ? 0 : 1;
}

// Names an argument beginning with "-" that is not an option here, or that
// stands where the output file belongs, then shows the usage.
int refuse(const char* self, const char* argument, bool known) {
  std::fprintf(stderr, known ? "make-sample-pcd: %s comes after the output file\n"
                             : "make-sample-pcd: unknown option %s\n", argument);
  return usage(self);
}

bool isOption(const std::string& arg) {
  return arg == "--top" || arg == "--portrait" || arg == "--luma-only" || arg == "--scene" ||
         arg == "--fuzz-seeds";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return usage(argv[0]);
  if (std::strcmp(argv[1], "--fuzz-seeds") == 0) {
    return argc == 3 ? writeFuzzSeeds(argv[2]) : usage(argv[0]);
  }
  if (argv[1][0] == '-') return refuse(argv[0], argv[1], isOption(argv[1]));
  PcdWriteOptions options;
  options.facts = quorbix::pcd_writer::sampleFacts();
  bool sixtyFourBase = false;
  bool gallery = false;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--top" && i + 1 < argc) {
      const std::string top = argv[++i];
      if (top == "base") options.topLevel = Level::Base;
      else if (top == "4base") options.topLevel = Level::FourBase;
      else if (top == "16base") options.topLevel = Level::SixteenBase;
      else if (top == "64base") sixtyFourBase = true;
      else return usage(argv[0]);
    } else if (arg == "--portrait") {
      options.rotation = Rotation::Quarter;
    } else if (arg == "--luma-only") {
      options.chromaDifferences = false;
    } else if (arg == "--scene" && i + 1 < argc && std::strcmp(argv[i + 1], "gallery") == 0) {
      gallery = true;
      ++i;
    } else if (!arg.empty() && arg[0] == '-' && !isOption(arg)) {
      return refuse(argv[0], argv[i], false);
    } else {
      return usage(argv[0]);
    }
  }
  if (gallery && (sixtyFourBase || options.rotation != Rotation::None)) return usage(argv[0]);
  if (sixtyFourBase) return writeProPhotoCd(argv[1], options.rotation, options.chromaDifferences);
  const YccPicture picture = gallery ? quorbix::sample::galleryPicture(options.topLevel)
                                     : quorbix::pcd_writer::syntheticPicture(options.topLevel, options.rotation == Rotation::Quarter);
  const std::string bytes = quorbix::pcd_writer::writePcd(picture, options);
  if (!save(argv[1], bytes)) {
    std::fprintf(stderr, "make-sample-pcd: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
