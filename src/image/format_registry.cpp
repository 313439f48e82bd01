#include "image/format_registry.h"

#include <FreeImage.h>

#include <charconv>

namespace quorbix {
namespace {

// One line of the input table: a family's extensions sharing a description.
struct InputLine {
  const char* group;
  const char* description;
  std::initializer_list<const char*> extensions;
};

const InputLine kInputLines[] = {
    {"bmp", "Windows or OS/2 Bitmap", {"bmp", "rle", "dib"}},
    {"dds", "DirectDraw Surface File", {"dds"}},
    {"emf", "Enhanced Metafile Format", {"emf", "emz"}},
    {"gif", "GIF File", {"gif"}},
    {"hdr", "High Dynamic Range File", {"hdr", "hdri"}},
    {"ico", "Windows Icon", {"ico"}},
    {"jpg", "JPEG File", {"jpg", "jpeg", "jpe", "jif"}},
    {"pcd", "Kodak PhotoCD File", {"pcd", "pcd1", "pcds", "ppcd"}},
    {"pcx", "ZSoft Paintbrush File", {"pcx"}},
    {"pic", "Macintosh PICT", {"pic", "pict", "pct"}},
    {"png", "Portable Network Graphics", {"png"}},
    {"psd", "Adobe Photoshop File", {"psd"}},
    {"tga", "Truevision Targa", {"tga", "targa"}},
    {"tiff", "Tagged Image File Format", {"tiff", "tif"}},
    {"wmf", "Windows Metafile Format", {"wmf", "wmz"}},
    {"wmf", "Aldus Placeable Metafile", {"apm"}},
    {"raw", "Camera RAW Image", {"raw", "raw1", "raw2"}},
    {"raw", "Hasselblad Camera RAW Image", {"3fr"}},
    {"raw", "Sony Camera RAW Image", {"arw", "sr2", "srf"}},
    {"raw", "Casio Camera RAW Image", {"bay"}},
    {"raw", "NuCore RAW Image", {"bmq"}},
    {"raw", "Phase One Camera RAW Image", {"cap", "iiq", "eip"}},
    {"raw", "Phantom RAW Image", {"cine"}},
    {"raw", "Canon Camera RAW Image", {"cr2", "crw"}},
    {"raw", "Capture Shop RAW Image", {"cs1"}},
    {"raw", "Kodak Camera RAW Image", {"dc2", "dcr", "drf", "dsc", "k25", "kc2", "kdc", "dcs"}},
    {"raw", "Adobe Digital Negative Image", {"dng"}},
    {"raw", "Epson Camera RAW Image", {"erf"}},
    {"raw", "Imacon Camera RAW Image", {"fff"}},
    {"raw", "Sinar RAW Image", {"ia", "sti"}},
    {"raw", "Minolta Camera RAW Image", {"mdc", "mrw"}},
    {"raw", "Mamiya Camera RAW Image", {"mef", "mos"}},
    {"raw", "Nikon Camera RAW Image", {"nef", "nrw"}},
    {"raw", "Olympus Camera RAW Image", {"orf"}},
    {"raw", "Pentax Camera RAW Image", {"pef", "ptx"}},
    {"raw", "Logitech Camera RAW Image", {"pxn"}},
    {"raw", "Apple Quicktake Camera RAW Image", {"qtk"}},
    {"raw", "Fuji Camera RAW Image", {"raf"}},
    {"raw", "Digital Foto Maker RAW Image", {"rdc"}},
    {"raw", "Panasonic Camera RAW Image", {"rw2"}},
    {"raw", "Rawzor Camera RAW Image", {"rwz"}},
    {"raw", "Sigma Camera RAW Image", {"x3f"}},
    {"raw", "ARRI RAW Image", {"ari"}},
    {"raw", "RED RAW Image", {"r3d"}},
    {"raw", "Leica Camera RAW Image", {"rwl"}},
};

const OutputFormatEntry kOutputRows[] = {
    {FIF_BMP, "bmp", "Windows or OS/2 Bitmap", "1,4,8,16,24,32"},
    {FIF_EXR, "exr", "ILM OpenEXR", "96"},
    {FIF_GIF, "gif", "Graphics Interchange Format", "8"},
    {FIF_HDR, "hdr", "High Dynamic Range Image", "96"},
    {FIF_ICO, "ico", "Windows Icon", "1,4,8,16,24,32"},
    {FIF_J2K, "j2k", "JPEG-2000 Codestream", "8,24,32,48"},
    {FIF_JNG, "jng", "JPEG Network Graphics", "24,32"},
    {FIF_JP2, "jp2", "JPEG-2000 File Format", "8,24,32,48"},
    {FIF_JPEG, "jpg", "JPEG File Format", "8,24"},
    {FIF_JXR, "jxr", "JPEG XR Image Format", "1,8,16,24,32,48,96"},
    {FIF_PBM, "pbm", "Portable Bitmap", "1"},
    {FIF_PFM, "pfm", "Portable Floatmap", "96"},
    {FIF_PGM, "pgm", "Portable Greymap", "8"},
    {FIF_PNG, "png", "Portable Network Graphics", "1,4,8,24,32,48"},
    {FIF_PPM, "ppm", "Portable Pixelmap", "24,48"},
    {FIF_TARGA, "tga", "Truevision Targa", "8,16,24,32"},
    {FIF_TIFF, "tiff", "Tagged Image File Format", "1,4,8,24,32,48,96"},
    {FIF_WBMP, "wbmp", "Wireless Bitmap", "1"},
    {FIF_WEBP, "webp", "Google WebP Image Format", "24,32"},
    {FIF_XPM, "xpm", "X11 Pixmap Format", "24"},
};

constexpr size_t kMaxDepthFields = 127;

// The fields of a depth list read as decimal integers; a field that is
// empty or not wholly a number reads as 0.
std::vector<int32_t> depthFields(const std::string& list) {
  std::vector<int32_t> fields;
  if (list.empty()) return fields;
  size_t start = 0;
  while (fields.size() < kMaxDepthFields) {
    size_t comma = list.find(',', start);
    std::string_view field(list.data() + start,
                           (comma == std::string::npos ? list.size() : comma) - start);
    int32_t value = 0;
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) value = 0;
    fields.push_back(value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fields;
}

}  // namespace

void FormatRegistry::build() {
  featuredInputExtensions = {"pcd"};
  featuredOutputExtensions = {"tiff"};
  inputFormats.clear();
  outputFormats.clear();
  inputOrder.clear();
  for (const InputLine& line : kInputLines) {
    for (const char* extension : line.extensions) {
      inputFormats[extension] = InputFormatEntry{line.group, line.description};
      inputOrder.emplace_back(extension);
    }
  }
  for (const OutputFormatEntry& row : kOutputRows) outputFormats[row.extension] = row;
  acceptedInputExtensions = extensionsOfGroups(featuredInputExtensions);
}

OutputFormatEntry FormatRegistry::outputEntry(const std::string& extension) const {
  auto found = outputFormats.find(extension);
  return found == outputFormats.end() ? OutputFormatEntry{} : found->second;
}

std::vector<std::string> FormatRegistry::extensionsOfGroups(
    const std::vector<std::string>& groups) const {
  std::vector<std::string> result;
  for (const std::string& group : groups) {
    for (const std::string& extension : inputOrder) {
      auto found = inputFormats.find(extension);
      if (found != inputFormats.end() && found->second.formatGroup == group) {
        result.push_back(extension);
      }
    }
  }
  return result;
}

bool FormatRegistry::isDepthAllowed(const std::string& extension, int32_t depth) const {
  if (depth == 0) return true;
  for (int32_t field : depthFields(outputEntry(extension).allowedDepths)) {
    if (field == depth) return true;
  }
  return false;
}

int32_t FormatRegistry::autoDepth(const std::string& extension, int32_t sourceDepth) const {
  int32_t last = 0;
  for (int32_t field : depthFields(outputEntry(extension).allowedDepths)) {
    if (sourceDepth <= field) return field;
    last = field;
  }
  return last;
}

}  // namespace quorbix
