#include "pcd/image_pac_facts.h"

#include <cstring>

#include "pcd/pcd_layout.h"
#include "platform/folder_separator.h"

namespace quorbix::pcd {
namespace {

constexpr uint32_t kNoTime = 0xffffffff;
constexpr uint8_t kHighestMedium = static_cast<uint8_t>(Medium::Synthetic);

// A blank-padded text field without its padding; empty when it holds
// anything but printable ASCII (an unwritten field is often all zeros or
// all 0xff).
std::string textField(const uint8_t* block, uint64_t offset, size_t length) {
  const uint8_t* field = block + (offset - kHeaderOffset);
  size_t end = length;
  while (end > 0 && (field[end - 1] == ' ' || field[end - 1] == '\0')) --end;
  for (size_t i = 0; i < end; ++i) {
    if (field[i] < 0x20 || field[i] > 0x7e) return "";
  }
  return std::string(reinterpret_cast<const char*>(field), end);
}

// "IMG" and four digits, then ".PCD", in any letter case: 1 to 9999.
std::optional<int> discPictureNumber(const std::string& path) {
  const size_t slash = platform::lastFolderSeparator(path);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.size() != 11) return std::nullopt;
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  int number = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = upper(name[i]);
    if (i >= 3 && i < 7) {
      if (c < '0' || c > '9') return std::nullopt;
      number = number * 10 + (c - '0');
    } else if (c != "IMG????.PCD"[i]) {
      return std::nullopt;
    }
  }
  if (number == 0) return std::nullopt;
  return number;
}

}  // namespace

std::optional<ImagePacFacts> readImagePacFacts(const ByteSource& source) {
  uint8_t block[kInformationEnd - kHeaderOffset];
  if (!source.read(kHeaderOffset, block, sizeof block) ||
      std::memcmp(block, kSignature, sizeof kSignature - 1) != 0) {
    return std::nullopt;
  }
  ImagePacFacts facts;
  const uint8_t* time = block + (kScanTimeOffset - kHeaderOffset);
  const uint32_t seconds = static_cast<uint32_t>(time[0]) << 24 | static_cast<uint32_t>(time[1]) << 16 |
                           static_cast<uint32_t>(time[2]) << 8 | time[3];
  if (seconds != 0 && seconds != kNoTime) facts.scanTime = seconds;
  facts.productType = textField(block, kProductTypeOffset, kProductTypeLength);
  facts.scannerVendor = textField(block, kScannerVendorOffset, kScannerVendorLength);
  facts.scannerProduct = textField(block, kScannerProductOffset, kScannerProductLength);
  facts.scannerFirmware = textField(block, kScannerFirmwareOffset, kScannerFirmwareLength);
  facts.scannerSerial = textField(block, kScannerSerialOffset, kScannerSerialLength);
  // Zero is a colour negative, but also what an unwritten block holds: the
  // kind counts only beside the product it names.
  const uint8_t medium = block[kMediumOffset - kHeaderOffset];
  if (!facts.productType.empty() && medium <= kHighestMedium) facts.medium = static_cast<Medium>(medium);
  return facts;
}

ImagePacFacts readImagePacFacts(const std::string& path) {
  const auto source = FileByteSource::open(path);
  if (!source) return {};
  std::optional<ImagePacFacts> facts = readImagePacFacts(*source);
  if (!facts) return {};
  facts->pictureNumber = discPictureNumber(path);
  return *facts;
}

const char* mediumName(Medium medium) {
  switch (medium) {
    case Medium::ColourNegative: return "colour negative film";
    case Medium::ColourReversal: return "colour reversal film";
    case Medium::ColourPrint: return "colour print";
    case Medium::ThermalPrint: return "thermal print";
    case Medium::GreyNegative: return "black and white negative film";
    case Medium::GreyReversal: return "black and white reversal film";
    case Medium::GreyPrint: return "black and white print";
    case Medium::Internegative: return "internegative film";
    case Medium::Synthetic: return "synthetic picture";
  }
  return "";
}

bool isFilm(Medium medium) {
  switch (medium) {
    case Medium::ColourNegative:
    case Medium::ColourReversal:
    case Medium::GreyNegative:
    case Medium::GreyReversal:
    case Medium::Internegative:
      return true;
    default:
      return false;
  }
}

}  // namespace quorbix::pcd
