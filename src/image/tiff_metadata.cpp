#include "image/tiff_metadata.h"

#include <tiffio.h>

#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <string>

#include "image/srgb_profile.h"

namespace quorbix {
namespace {

// libtiff's access to a C stream that is open for update. The stream needs
// a seek between a write and a read; libtiff seeks before most reads and
// writes, but not all, so the direction is tracked.
struct TiffStream {
  std::FILE* file;
  enum class Last { Nothing, Read, Write } last = Last::Nothing;

  bool turn(Last next) {
    if (last != Last::Nothing && last != next && fseeko(file, 0, SEEK_CUR) != 0) return false;
    last = next;
    return true;
  }
};

TiffStream& streamOf(thandle_t handle) { return *static_cast<TiffStream*>(handle); }

tmsize_t readTiff(thandle_t handle, void* buffer, tmsize_t size) {
  TiffStream& s = streamOf(handle);
  if (size < 0 || !s.turn(TiffStream::Last::Read)) return -1;
  return static_cast<tmsize_t>(std::fread(buffer, 1, static_cast<size_t>(size), s.file));
}

tmsize_t writeTiff(thandle_t handle, void* buffer, tmsize_t size) {
  TiffStream& s = streamOf(handle);
  if (size < 0 || !s.turn(TiffStream::Last::Write)) return -1;
  return static_cast<tmsize_t>(std::fwrite(buffer, 1, static_cast<size_t>(size), s.file));
}

toff_t seekTiff(thandle_t handle, toff_t offset, int whence) {
  TiffStream& s = streamOf(handle);
  if (fseeko(s.file, static_cast<off_t>(offset), whence) != 0) return static_cast<toff_t>(-1);
  s.last = TiffStream::Last::Nothing;
  return static_cast<toff_t>(ftello(s.file));
}

int closeTiff(thandle_t) { return 0; }  // the stream stays its owner's

toff_t sizeTiff(thandle_t handle) {
  TiffStream& s = streamOf(handle);
  const off_t here = ftello(s.file);
  if (here < 0 || fseeko(s.file, 0, SEEK_END) != 0) return 0;
  const off_t end = ftello(s.file);
  fseeko(s.file, here, SEEK_SET);
  s.last = TiffStream::Last::Nothing;
  return end < 0 ? 0 : static_cast<toff_t>(end);
}

int mapTiff(thandle_t, void**, toff_t*) { return 0; }
void unmapTiff(thandle_t, void*, toff_t) {}

// libtiff's warnings while it rewrites the directory repeat what it said
// when the TIFF writer wrote it ("legacy Deflate codec identifier"...):
// they are dropped here. Errors go on to the program's handler.
int dropWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// The TIFF opened for update on `handle`, with its warnings dropped.
TIFF* openForUpdate(TiffStream& handle) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  if (options == nullptr) return nullptr;
  TIFFOpenOptionsSetWarningHandlerExtR(options, dropWarning, nullptr);
  TIFF* tiff = TIFFClientOpenExt("output", "r+m", static_cast<thandle_t>(&handle), readTiff, writeTiff, seekTiff,
                                 closeTiff, sizeTiff, mapTiff, unmapTiff, options);
  TIFFOpenOptionsFree(options);
  return tiff;
}

// Closes the TIFF on every way out.
struct TiffCloser {
  TIFF* tiff;
  ~TiffCloser() {
    if (tiff != nullptr) TIFFClose(tiff);
  }
};

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

bool addTiffMetadata(std::FILE* stream, const pcd::ImagePacFacts& facts) {
  if (std::fflush(stream) != 0 || fseeko(stream, 0, SEEK_SET) != 0) return false;
  TiffStream handle{stream};
  TiffCloser closer{openForUpdate(handle)};
  TIFF* tiff = closer.tiff;
  if (tiff == nullptr) return false;
  uint16_t photometric = 0;
  if (TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) != 1) return false;
  const bool colour = isColour(photometric);
  const std::string xmp = xmpPacket(facts, colour);
  if (xmp.empty() && facts.scannerVendor.empty() && facts.scannerProduct.empty()) return true;

  bool ok = true;
  if (colour) {
    const std::string& profile = srgbIccProfile();
    ok = !profile.empty() && TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(profile.size()), profile.data()) == 1;
  }
  if (ok && !facts.scannerVendor.empty()) ok = TIFFSetField(tiff, TIFFTAG_MAKE, facts.scannerVendor.c_str()) == 1;
  if (ok && !facts.scannerProduct.empty()) ok = TIFFSetField(tiff, TIFFTAG_MODEL, facts.scannerProduct.c_str()) == 1;
  if (ok && !xmp.empty()) {
    ok = TIFFSetField(tiff, TIFFTAG_XMLPACKET, static_cast<uint32_t>(xmp.size()), xmp.data()) == 1;
  }
  if (ok) ok = TIFFRewriteDirectory(tiff) == 1;
  if (!ok) return false;
  TIFFClose(tiff);
  closer.tiff = nullptr;
  return std::ferror(stream) == 0;
}

}  // namespace quorbix
