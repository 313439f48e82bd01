// What an Image Pac tells about its picture beyond the pixels: when it was
// scanned, on which scanner, from which film, and which picture of the disc
// it is. Read from the file's first sectors only; a field that is blank or
// zero in the file stays empty here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "pcd/byte_source.h"

namespace quorbix::pcd {

// The kind of original that was scanned, as the Image Pac numbers it.
enum class Medium : uint8_t {
  ColourNegative = 0,
  ColourReversal = 1,
  ColourPrint = 2,
  ThermalPrint = 3,
  GreyNegative = 4,
  GreyReversal = 5,
  GreyPrint = 6,
  Internegative = 7,
  Synthetic = 8,
};

struct ImagePacFacts {
  std::optional<int64_t> scanTime;  // seconds since 1970-01-01 00:00 UTC
  std::string scannerVendor;
  std::string scannerProduct;
  std::string scannerFirmware;
  std::string scannerSerial;
  std::string productType;          // the film's product code, e.g. "080/11 SPD 0100"
  std::optional<Medium> medium;     // only given together with the product type
  std::optional<int> pictureNumber; // from the disc's name IMGnnnn.PCD

  bool empty() const {
    return !scanTime && scannerVendor.empty() && scannerProduct.empty() && scannerFirmware.empty() &&
           scannerSerial.empty() && productType.empty() && !medium && !pictureNumber;
  }
};

// The facts of the Image Pac in `source`; nothing when it does not carry the
// Image Pac signature or is too short for its information block.
std::optional<ImagePacFacts> readImagePacFacts(const ByteSource& source);

// The same for the file at `path`, with the picture's number taken from the
// name a PhotoCD disc gives it (IMG0001.PCD is picture 1, in any letter
// case). Empty facts when the file cannot be read or is no Image Pac.
ImagePacFacts readImagePacFacts(const std::string& path);

// The kind of original in words ("colour negative film"...).
const char* mediumName(Medium medium);
// True when the original was film rather than a print or a synthetic picture.
bool isFilm(Medium medium);

}  // namespace quorbix::pcd
