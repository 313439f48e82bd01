#include "pcd_writer/pcd_writer.h"

#include "pcd_writer/huffman_coder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>

namespace quorbix::pcd_writer {

namespace {

using pcd::Level;
using pcd::Plane;
using pcd::YccPicture;

constexpr int kMaxDifference = 63;  // keeps three full tables inside one sector

int difference(const Plane& prediction, const Plane& target, size_t i) {
  return std::clamp(target.pixels[i] - prediction.pixels[i], -kMaxDifference, kMaxDifference);
}

void putRowHeader(BitWriter& bits, int kind, int row) {
  bits.put(0xfffffe, 24);
  bits.put(static_cast<uint32_t>(kind << 14 | row << 1), 16);
}

Plane halvePlane(const Plane& p) {
  Plane out(p.width / 2, p.height / 2);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      const int sum = p.at(2 * x, 2 * y) + p.at(2 * x + 1, 2 * y) + p.at(2 * x, 2 * y + 1) + p.at(2 * x + 1, 2 * y + 1);
      out.row(y)[x] = static_cast<uint8_t>((sum + 2) / 4);
    }
  }
  return out;
}

void putBigEndian16(std::string& file, size_t offset, uint32_t value) {
  file[offset] = static_cast<char>((value >> 8) & 0xff);
  file[offset + 1] = static_cast<char>(value & 0xff);
}

void putAt(std::string& file, uint64_t offset, const std::string& bytes) {
  if (file.size() < offset + bytes.size()) file.resize(offset + bytes.size(), '\0');
  std::memcpy(file.data() + offset, bytes.data(), bytes.size());
}

uint64_t sectorsFor(uint64_t bytes) { return (bytes + pcd::kSectorSize - 1) / pcd::kSectorSize; }

// A text field, blank-padded to `length` (longer text is cut).
void putText(std::string& file, uint64_t offset, const std::string& text, size_t length) {
  std::string field = text.substr(0, length);
  field.resize(length, ' ');
  putAt(file, offset, field);
}

void putFacts(std::string& file, const pcd::ImagePacFacts& facts) {
  if (facts.scanTime) {
    const auto seconds = static_cast<uint32_t>(*facts.scanTime);
    for (int i = 0; i < 4; ++i) file[pcd::kScanTimeOffset + static_cast<uint64_t>(i)] = static_cast<char>(seconds >> (24 - 8 * i));
  }
  if (facts.medium) file[pcd::kMediumOffset] = static_cast<char>(*facts.medium);
  if (!facts.productType.empty()) putText(file, pcd::kProductTypeOffset, facts.productType, pcd::kProductTypeLength);
  if (!facts.scannerVendor.empty()) putText(file, pcd::kScannerVendorOffset, facts.scannerVendor, pcd::kScannerVendorLength);
  if (!facts.scannerProduct.empty()) putText(file, pcd::kScannerProductOffset, facts.scannerProduct, pcd::kScannerProductLength);
  if (!facts.scannerFirmware.empty()) putText(file, pcd::kScannerFirmwareOffset, facts.scannerFirmware, pcd::kScannerFirmwareLength);
  if (!facts.scannerSerial.empty()) putText(file, pcd::kScannerSerialOffset, facts.scannerSerial, pcd::kScannerSerialLength);
}

}  // namespace

pcd::ImagePacFacts sampleFacts() {
  pcd::ImagePacFacts facts;
  facts.scanTime = 800000000;  // 1995-05-09 06:13:20 UTC
  facts.medium = pcd::Medium::ColourReversal;
  facts.productType = "QRB/28 SPD 0100";
  facts.scannerVendor = "VELLUMORA";
  facts.scannerProduct = "Sample Scanner";
  facts.scannerFirmware = "2.8";
  facts.scannerSerial = "0042";
  return facts;
}

CodedLevelBytes encodeCodedLevel(const YccPicture& prediction, const YccPicture& target, bool chromaDifferences,
                                 YccPicture& rebuilt) {
  const Plane* predictions[3] = {&prediction.luma, &prediction.chroma1, &prediction.chroma2};
  const Plane* targets[3] = {&target.luma, &target.chroma1, &target.chroma2};
  rebuilt = prediction;
  Plane* results[3] = {&rebuilt.luma, &rebuilt.chroma1, &rebuilt.chroma2};
  const int components = chromaDifferences ? 3 : 1;

  CodedLevelBytes out;
  std::array<std::map<int, Code>, 3> codes;
  for (int c = 0; c < 3; ++c) {
    std::map<int, uint64_t> counts;
    if (c < components) {
      for (size_t i = 0; i < targets[c]->pixels.size(); ++i) ++counts[difference(*predictions[c], *targets[c], i)];
    } else {
      counts[0] = 1;  // an unused one-code table, as real files have
    }
    codes[static_cast<size_t>(c)] = buildCode(counts);
    out.tables += tableBytes(codes[static_cast<size_t>(c)]);
  }

  BitWriter bits;
  for (int c = 0; c < components; ++c) {
    const Plane& p = *predictions[c];
    const Plane& t = *targets[c];
    Plane& r = *results[c];
    for (int y = 0; y < p.height; ++y) {
      putRowHeader(bits, c == 0 ? 0 : c + 1, c == 0 ? y : 2 * y);
      for (int x = 0; x < p.width; ++x) {
        const size_t i = static_cast<size_t>(y) * static_cast<size_t>(p.width) + static_cast<size_t>(x);
        const int d = difference(p, t, i);
        const Code& code = codes[static_cast<size_t>(c)].at(d);
        bits.put(code.bits, code.length);
        r.pixels[i] = static_cast<uint8_t>(std::clamp(p.pixels[i] + d, 0, 255));
      }
    }
  }
  putRowHeader(bits, 0, prediction.luma.height);  // end of the rows
  out.rows = bits.finish();
  return out;
}

YccPicture halvePicture(const YccPicture& picture) {
  return YccPicture{halvePlane(picture.luma), halvePlane(picture.chroma1), halvePlane(picture.chroma2)};
}

std::string writePcd(const YccPicture& top, const PcdWriteOptions& options, std::vector<YccPicture>* expected) {
  const int topIndex = static_cast<int>(options.topLevel);
  // The pyramid of originals, from the top level down to Base/16.
  std::vector<YccPicture> originals(static_cast<size_t>(topIndex) + 1);
  originals[static_cast<size_t>(topIndex)] = top;
  for (int i = topIndex; i > 0; --i) originals[static_cast<size_t>(i - 1)] = halvePicture(originals[static_cast<size_t>(i)]);

  std::string file(pcd::baseLevelSector(Level::Base) * pcd::kSectorSize +
                       static_cast<size_t>(pcd::levelWidth(Level::Base) * pcd::levelHeight(Level::Base)) * 3 / 2,
                   '\0');
  putAt(file, pcd::kHeaderOffset, "PCD_IPI");
  putFacts(file, options.facts);
  file[pcd::kAttributeOffset] = static_cast<char>(static_cast<int>(options.rotation) |
                                                  (topIndex - static_cast<int>(Level::Base)) << 2);
  std::vector<YccPicture> rebuilt(originals.size());
  for (Level level : {Level::Base16, Level::Base4, Level::Base}) {
    const YccPicture& p = originals[static_cast<size_t>(level)];
    std::string bytes;
    for (int pair = 0; pair < p.luma.height / 2; ++pair) {
      bytes.append(reinterpret_cast<const char*>(p.luma.row(2 * pair)), static_cast<size_t>(p.luma.width));
      bytes.append(reinterpret_cast<const char*>(p.luma.row(2 * pair + 1)), static_cast<size_t>(p.luma.width));
      bytes.append(reinterpret_cast<const char*>(p.chroma1.row(pair)), static_cast<size_t>(p.chroma1.width));
      bytes.append(reinterpret_cast<const char*>(p.chroma2.row(pair)), static_cast<size_t>(p.chroma2.width));
    }
    putAt(file, pcd::baseLevelSector(level) * pcd::kSectorSize, bytes);
    rebuilt[static_cast<size_t>(level)] = p;
  }

  uint64_t fourBaseStop = 0;
  for (int i = static_cast<int>(Level::FourBase); i <= topIndex; ++i) {
    const YccPicture& below = rebuilt[static_cast<size_t>(i - 1)];
    YccPicture prediction{pcd::upsample2x(below.luma), pcd::upsample2x(below.chroma1), pcd::upsample2x(below.chroma2)};
    const CodedLevelBytes coded =
        encodeCodedLevel(prediction, originals[static_cast<size_t>(i)], options.chromaDifferences, rebuilt[static_cast<size_t>(i)]);
    uint64_t tableSector = 0, dataSector = 0;
    if (static_cast<Level>(i) == Level::FourBase) {
      tableSector = pcd::kFourBaseTableSector;
      dataSector = pcd::kFourBaseDataSector;
    } else {
      tableSector = fourBaseStop + pcd::kSixteenBaseTableAfterStop;
      dataSector = fourBaseStop + pcd::kSixteenBaseDataAfterStop;
    }
    putAt(file, tableSector * pcd::kSectorSize, coded.tables);
    putAt(file, dataSector * pcd::kSectorSize, coded.rows);
    const uint64_t stop = dataSector + sectorsFor(coded.rows.size()) - 1;
    file.resize((stop + 1) * pcd::kSectorSize, '\0');
    if (static_cast<Level>(i) == Level::FourBase) {
      fourBaseStop = stop;
      putBigEndian16(file, pcd::kFourBaseStopOffset, static_cast<uint32_t>(stop));
    } else {
      putBigEndian16(file, pcd::kSixteenBaseStopOffset, static_cast<uint32_t>(stop));
    }
  }
  if (expected) *expected = std::move(rebuilt);
  return file;
}

void srgbToYcc(int r, int g, int b, uint8_t& y, uint8_t& c1, uint8_t& c2) {
  // The decoder's equations solved for Y, C1 and C2.
  const double luma = (0.509 * r + g + 0.194 * b) / 1.703;
  const double scale = 1.3584;
  const auto byte = [](double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); };
  y = byte(luma);
  c1 = byte((b - luma) * scale / 2.2179 + 156.0);
  c2 = byte((r - luma) * scale / 1.8215 + 137.0);
}

YccPicture syntheticPicture(Level level, bool portrait) {
  const int w = pcd::levelWidth(level);
  const int h = pcd::levelHeight(level);
  Plane luma(w, h);
  Plane c1Full(w, h), c2Full(w, h);
  // The scene is drawn upright; a portrait one is stored turned a quarter
  // counter-clockwise, as a scanner stores a portrait frame.
  const int uprightW = portrait ? h : w;
  const int uprightH = portrait ? w : h;
  const double sunX = 0.72 * uprightW, sunY = 0.28 * uprightH, sunR = 0.07 * std::min(uprightW, uprightH);
  for (int sy = 0; sy < h; ++sy) {
    for (int sx = 0; sx < w; ++sx) {
      const int x = portrait ? sy : sx;
      const int y = portrait ? w - 1 - sx : sy;
      const double u = double(x) / uprightW, v = double(y) / uprightH;
      int r = 0, g = 0, b = 0;
      if (v < 0.55) {  // sky, darker at the top
        r = static_cast<int>(40 + 120 * v);
        g = static_cast<int>(80 + 150 * v);
        b = static_cast<int>(170 + 80 * v);
        const double d = std::hypot(x - sunX, y - sunY);
        if (d < sunR) {
          r = g = b = 255;
        } else if (d < 3 * sunR) {  // warm halo
          const double k = 1.0 - (d - sunR) / (2 * sunR);
          r = static_cast<int>(r + (255 - r) * k);
          g = static_cast<int>(g + (200 - g) * k);
          b = static_cast<int>(b + (90 - b) * k * 0.5);
        }
      } else if (v < 0.72) {  // colour bars
        static const int bars[7][3] = {{230, 40, 40}, {240, 150, 30}, {235, 225, 50}, {50, 180, 70},
                                       {40, 170, 200}, {50, 70, 210}, {180, 60, 190}};
        const int* c = bars[std::min(6, static_cast<int>(u * 7))];
        r = c[0];
        g = c[1];
        b = c[2];
      } else if (v < 0.86) {  // grey ramp
        r = g = b = static_cast<int>(255 * u);
      } else {  // fine stripes, finer to the right
        const double period = 2.0 + 14.0 * (1.0 - u);
        const int on = std::fmod(x + 0.5 * y, period) < period / 2;
        r = on ? 220 : 30;
        g = on ? 210 : 40;
        b = on ? 190 : 60;
      }
      uint8_t yy, c1, c2;
      srgbToYcc(r, g, b, yy, c1, c2);
      luma.row(sy)[sx] = yy;
      c1Full.row(sy)[sx] = c1;
      c2Full.row(sy)[sx] = c2;
    }
  }
  return YccPicture{std::move(luma), halvePlane(c1Full), halvePlane(c2Full)};
}

}  // namespace quorbix::pcd_writer
