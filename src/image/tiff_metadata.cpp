#include "image/tiff_metadata.h"

#include <tiffio.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "image/srgb_profile.h"
#include "image/tiff_memory.h"

namespace quorbix {
namespace {

std::string twoDigits(unsigned v) {
  std::string s;
  s += static_cast<char>('0' + v / 10 % 10);
  s += static_cast<char>('0' + v % 10);
  return s;
}

// XMP's form of a moment in UTC: "YYYY-MM-DDTHH:MM:SSZ". Built by
// appending: GCC 12's restrict check misreads chains of "+".
std::string utcDateTime(int64_t secondsSince1970) {
  using namespace std::chrono;
  const sys_seconds time{seconds(secondsSince1970)};
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss clock{time - day};
  const int y = static_cast<int>(date.year());
  std::string text;
  text += static_cast<char>('0' + y / 1000 % 10);
  text += static_cast<char>('0' + y / 100 % 10);
  text += twoDigits(static_cast<unsigned>(y % 100));
  text += '-';
  text += twoDigits(static_cast<unsigned>(date.month()));
  text += '-';
  text += twoDigits(static_cast<unsigned>(date.day()));
  text += 'T';
  text += twoDigits(static_cast<unsigned>(clock.hours().count()));
  text += ':';
  text += twoDigits(static_cast<unsigned>(clock.minutes().count()));
  text += ':';
  text += twoDigits(static_cast<unsigned>(clock.seconds().count()));
  text += 'Z';
  return text;
}

std::string xmlEscaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// EXIF FileSource: 1 a film scanner, 2 a scanner of prints.
int fileSource(const pcd::ImagePacFacts& facts) {
  if (!facts.medium || *facts.medium == pcd::Medium::Synthetic) return 0;
  return pcd::isFilm(*facts.medium) ? 1 : 2;
}

// What the picture was scanned from, in words: "colour negative film,
// product 080/11 SPD 0100".
std::string originalDescription(const pcd::ImagePacFacts& facts) {
  std::string text;
  if (facts.medium) text = pcd::mediumName(*facts.medium);
  if (!facts.productType.empty()) {
    if (!text.empty()) text += ", ";
    text += "product ";
    text += facts.productType;
  }
  return text;
}

void addProperty(std::string& xmp, const char* name, const std::string& value) {
  if (value.empty()) return;
  xmp += "   <";
  xmp += name;
  xmp += '>';
  xmp += xmlEscaped(value);
  xmp += "</";
  xmp += name;
  xmp += ">\n";
}

// The facts as an XMP packet; empty when there are none.
std::string xmpPacket(const pcd::ImagePacFacts& facts, bool colour) {
  std::string properties;
  addProperty(properties, "tiff:Make", facts.scannerVendor);
  addProperty(properties, "tiff:Model", facts.scannerProduct);
  addProperty(properties, "aux:SerialNumber", facts.scannerSerial);
  addProperty(properties, "aux:Firmware", facts.scannerFirmware);
  addProperty(properties, "exifEX:BodySerialNumber", facts.scannerSerial);
  if (facts.scanTime) {
    const std::string scanned = utcDateTime(*facts.scanTime);
    addProperty(properties, "exif:DateTimeDigitized", scanned);
    addProperty(properties, "xmp:CreateDate", scanned);
  }
  if (const int source = fileSource(facts); source != 0) addProperty(properties, "exif:FileSource", std::to_string(source));
  addProperty(properties, "dc:source", originalDescription(facts));
  if (facts.pictureNumber) addProperty(properties, "aux:ImageNumber", std::to_string(*facts.pictureNumber));
  if (properties.empty() && !colour) return "";
  addProperty(properties, "exif:ColorSpace", colour ? "1" : "65535");  // sRGB, or uncalibrated
  std::string xmp =
      "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
      " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "  <rdf:Description rdf:about=\"\"\n"
      "    xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\"\n"
      "    xmlns:exif=\"http://ns.adobe.com/exif/1.0/\"\n"
      "    xmlns:exifEX=\"http://cipa.jp/exif/1.0/\"\n"
      "    xmlns:aux=\"http://ns.adobe.com/exif/1.0/aux/\"\n"
      "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
      "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n";
  xmp += properties;
  xmp +=
      "  </rdf:Description>\n"
      " </rdf:RDF>\n"
      "</x:xmpmeta>\n"
      "<?xpacket end=\"r\"?>";
  return xmp;
}

bool isColour(uint16_t photometric) {
  return photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_PALETTE || photometric == PHOTOMETRIC_YCBCR;
}

}  // namespace

bool setTiffMetadata(TIFF* tiff, const pcd::ImagePacFacts& facts) {
  uint16_t photometric = 0;
  if (TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) != 1) return false;
  const bool colour = isColour(photometric);
  if (colour) {
    const std::string& profile = srgbIccProfile();
    if (profile.empty()) return false;
    if (TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(profile.size()), profile.data()) != 1) return false;
  }
  if (!facts.scannerVendor.empty() && TIFFSetField(tiff, TIFFTAG_MAKE, facts.scannerVendor.c_str()) != 1) return false;
  if (!facts.scannerProduct.empty() && TIFFSetField(tiff, TIFFTAG_MODEL, facts.scannerProduct.c_str()) != 1) return false;
  const std::string xmp = xmpPacket(facts, colour);
  return xmp.empty() || TIFFSetField(tiff, TIFFTAG_XMLPACKET, static_cast<uint32_t>(xmp.size()), xmp.data()) == 1;
}

bool addTiffMetadata(pcd::ByteBuffer& bytes, const pcd::ImagePacFacts& facts) {
  MemoryTiff memory(bytes, "r+m", true);
  TIFF* tiff = memory.get();
  if (tiff == nullptr) return false;
  uint16_t photometric = 0;
  if (TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) != 1) return false;
  // Nothing to say: the directory stays as the writer left it.
  if (!isColour(photometric) && xmpPacket(facts, false).empty() && facts.scannerVendor.empty() &&
      facts.scannerProduct.empty()) {
    return true;
  }
  if (!setTiffMetadata(tiff, facts) || TIFFRewriteDirectory(tiff) != 1) return false;
  return memory.close();
}

}  // namespace quorbix
