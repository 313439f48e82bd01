// A PhotoCD Image Pac writer for tests, the fuzzer's seeds and the sample
// maker: stores Base/16, Base/4 and Base uncompressed and, on request, 4Base
// and 16Base as Huffman-coded differences to the level below, laid out the
// way the decoder reads them. It also reports what a correct decoder must
// rebuild at every level, so tests can compare exactly.
#pragma once

#include <string>
#include <vector>

#include "pcd/image_pac_facts.h"
#include "pcd/pcd_header.h"
#include "pcd/pcd_layout.h"
#include "pcd/plane.h"

namespace quorbix::pcd_writer {

struct PcdWriteOptions {
  pcd::Level topLevel = pcd::Level::FourBase;  // Base, FourBase or SixteenBase
  pcd::Rotation rotation = pcd::Rotation::None;
  bool chromaDifferences = true;  // code chroma differences too, not only luma
  // The Image Pack Information fields to fill (scan time, scanner, film);
  // empty ones stay zero. The picture number is not stored in the file.
  pcd::ImagePacFacts facts;
};

// The facts make-sample-pcd writes: a made-up scanner and film, and a fixed
// scan time.
pcd::ImagePacFacts sampleFacts();

// The coded form of one level: its Huffman tables and its rows.
struct CodedLevelBytes {
  std::string tables;
  std::string rows;
};

// Codes `target` as differences to `prediction` (same sizes). Differences
// are limited to -63..63; `rebuilt` receives prediction plus the coded
// differences, i.e. exactly what a decoder makes of the result.
CodedLevelBytes encodeCodedLevel(const pcd::YccPicture& prediction, const pcd::YccPicture& target,
                                 bool chromaDifferences, pcd::YccPicture& rebuilt);

// Halves a picture in both directions (mean of 2 x 2).
pcd::YccPicture halvePicture(const pcd::YccPicture& picture);

// Writes an Image Pac whose top level is `top` (at that level's size). When
// `expected` is given it receives, indexed by level from Base/16 up to the
// top level, the PhotoYCC picture a decoder must rebuild.
std::string writePcd(const pcd::YccPicture& top, const PcdWriteOptions& options,
                     std::vector<pcd::YccPicture>* expected = nullptr);

// PhotoYCC of an sRGB colour, the inverse of the decoder's conversion for
// colours inside the range.
void srgbToYcc(int r, int g, int b, uint8_t& y, uint8_t& c1, uint8_t& c2);

// A synthetic picture at a level's size: a sky gradient, a bright sun with
// a halo, colour bars, a grey ramp and fine stripes that only the coded
// levels can carry. A portrait scene is stored turned a quarter turn
// counter-clockwise (write it with Rotation::Quarter to have it upright).
pcd::YccPicture syntheticPicture(pcd::Level level, bool portrait = false);

}  // namespace quorbix::pcd_writer
