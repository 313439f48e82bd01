// Checks the static MinGW FreeImage of scripts/build-windows-deps.sh: lists
// the plugins it carries and writes a small picture through each format the
// program relies on, reads it back and compares the pixels. Runs under Wine.
#include <FreeImage.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kWidth = 37;
constexpr int kHeight = 23;

BYTE channel(int x, int y, int c) { return static_cast<BYTE>((x * 7 + y * 13 + c * 71) & 0xff); }

FIBITMAP* makePicture() {
  FIBITMAP* picture = FreeImage_Allocate(kWidth, kHeight, 24);
  if (!picture) return nullptr;
  for (int y = 0; y < kHeight; ++y) {
    BYTE* line = FreeImage_GetScanLine(picture, y);
    for (int x = 0; x < kWidth; ++x) {
      line[x * 3 + FI_RGBA_RED] = channel(x, y, 0);
      line[x * 3 + FI_RGBA_GREEN] = channel(x, y, 1);
      line[x * 3 + FI_RGBA_BLUE] = channel(x, y, 2);
    }
  }
  return picture;
}

// Writes, reads back and compares; JPEG is lossy, so it is only read back.
bool roundTrip(FIBITMAP* picture, FREE_IMAGE_FORMAT format, const char* file, bool exact) {
  if (!FreeImage_Save(format, picture, file, 0)) {
    std::printf("  %-6s save failed\n", FreeImage_GetFormatFromFIF(format));
    return false;
  }
  FREE_IMAGE_FORMAT found = FreeImage_GetFileType(file, 0);
  FIBITMAP* back = FreeImage_Load(format, file, 0);
  bool ok = back && found == format && FreeImage_GetWidth(back) == kWidth &&
            FreeImage_GetHeight(back) == kHeight && FreeImage_GetBPP(back) == 24;
  int differing = 0;
  for (int y = 0; ok && exact && y < kHeight; ++y) {
    if (std::memcmp(FreeImage_GetScanLine(back, y), FreeImage_GetScanLine(picture, y), kWidth * 3) != 0)
      ++differing;
  }
  ok = ok && differing == 0;
  std::printf("  %-6s %s (%s)\n", FreeImage_GetFormatFromFIF(format), ok ? "ok" : "FAILED",
              exact ? "same pixels" : "read back");
  if (back) FreeImage_Unload(back);
  std::remove(file);
  return ok;
}

// Every FIF_ number must name the plugin FreeImage.h gives it, including
// the ones after plugins that are not built in.
bool numbersMatchHeader() {
  struct Expected {
    FREE_IMAGE_FORMAT format;
    const char* name;
  };
  const Expected expected[] = {{FIF_BMP, "BMP"},     {FIF_JPEG, "JPEG"}, {FIF_PCD, "PCD"},
                               {FIF_PNG, "PNG"},     {FIF_TARGA, "TARGA"}, {FIF_TIFF, "TIFF"},
                               {FIF_GIF, "GIF"},     {FIF_SGI, "SGI"},   {FIF_PFM, "PFM"},
                               {FIF_PICT, "PICT"}};
  bool ok = FreeImage_GetFIFCount() == FIF_JXR + 1;
  for (const Expected& e : expected) {
    const char* name = FreeImage_GetFormatFromFIF(e.format);
    ok = ok && name && std::strcmp(name, e.name) == 0 && FreeImage_GetFIFFromFormat(e.name) == e.format;
  }
  std::printf("format numbers %s\n", ok ? "match FreeImage.h" : "DO NOT match FreeImage.h");
  return ok;
}

}  // namespace

int main() {
  FreeImage_Initialise(FALSE);
  std::printf("FreeImage %s, %d plugins:\n", FreeImage_GetVersion(), FreeImage_GetFIFCount());
  for (int i = 0; i < FreeImage_GetFIFCount(); ++i) {
    auto format = static_cast<FREE_IMAGE_FORMAT>(i);
    std::printf("  %-8s %s%s  %s\n", FreeImage_GetFormatFromFIF(format),
                FreeImage_FIFSupportsReading(format) ? "r" : "-",
                FreeImage_FIFSupportsWriting(format) ? "w" : "-", FreeImage_GetFIFDescription(format));
  }

  bool ok = numbersMatchHeader();
  FIBITMAP* picture = makePicture();
  if (!picture) return 1;
  std::printf("round trips:\n");
  ok = roundTrip(picture, FIF_PNG, "smoke.png", true) && ok;
  ok = roundTrip(picture, FIF_TIFF, "smoke.tif", true) && ok;
  ok = roundTrip(picture, FIF_TARGA, "smoke.tga", true) && ok;
  ok = roundTrip(picture, FIF_BMP, "smoke.bmp", true) && ok;
  ok = roundTrip(picture, FIF_JPEG, "smoke.jpg", false) && ok;
  ok = FreeImage_FIFSupportsReading(FIF_PCD) && ok;
  FreeImage_Unload(picture);
  FreeImage_DeInitialise();
  std::printf("%s\n", ok ? "smoke test passed" : "smoke test FAILED");
  return ok ? 0 : 1;
}
