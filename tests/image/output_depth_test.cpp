#include "image/output_depth.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include "convert/run_context.h"

namespace quorbix {
namespace {

// A colourful 24-bit picture (more than 256 colours, so a palette must be
// made, not just copied).
Bitmap colourPicture(unsigned width = 64, unsigned height = 48) {
  Bitmap image(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), 24));
  for (unsigned y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(image.get(), static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) {
      line[x * 3 + FI_RGBA_RED] = static_cast<BYTE>(x * 4);
      line[x * 3 + FI_RGBA_GREEN] = static_cast<BYTE>(y * 5);
      line[x * 3 + FI_RGBA_BLUE] = static_cast<BYTE>((x * y) & 0xFF);
    }
  }
  return image;
}

class OutputDepthTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry.build();
    settings.job.conversion = "tiff";
    file.sourceDepth = 24;
  }
  Bitmap convert(Bitmap image, int32_t target) {
    run.targetBpp = target;
    file.targetBpp = target;
    run.keepSourceDepth = target == 0;
    file.targetBpp = settledOutputDepth(registry, settings.job.conversion, run.keepSourceDepth,
                                        run.targetBpp, file.sourceDepth);
    return applyOutputDepth(std::move(image), settings.job.conversion, file.targetBpp);
  }
  FormatRegistry registry;
  Settings settings;
  RunContext run;
  FileState file;
};

TEST_F(OutputDepthTest, NoImageStaysNone) {
  EXPECT_FALSE(convert(Bitmap(), 24));
}

TEST_F(OutputDepthTest, SameDepthKeepsTheVeryBitmap) {
  Bitmap image = colourPicture();
  FIBITMAP* before = image.get();
  Bitmap out = convert(std::move(image), 24);
  EXPECT_EQ(out.get(), before);
}

TEST_F(OutputDepthTest, EachTableRowGivesItsDepthAndType) {
  struct Row {
    int32_t target;
    unsigned bpp;
    FREE_IMAGE_TYPE type;
  };
  for (Row row : {Row{96, 96, FIT_RGBF}, Row{48, 48, FIT_RGB16}, Row{32, 32, FIT_BITMAP},
                  Row{16, 16, FIT_BITMAP}, Row{8, 8, FIT_BITMAP}, Row{4, 4, FIT_BITMAP},
                  Row{1, 1, FIT_BITMAP}}) {
    Bitmap out = convert(colourPicture(), row.target);
    ASSERT_TRUE(out) << row.target;
    EXPECT_EQ(out.bpp(), row.bpp) << row.target;
    EXPECT_EQ(FreeImage_GetImageType(out.get()), row.type) << row.target;
    EXPECT_EQ(out.width(), 64u);
  }
  Bitmap back = convert(convert(colourPicture(), 32), 24);
  ASSERT_TRUE(back);
  EXPECT_EQ(back.bpp(), 24u);
}

TEST_F(OutputDepthTest, EightBitsIsAPaletteForTiffAndGreyForJpegFamily) {
  Bitmap palette = convert(colourPicture(), 8);
  ASSERT_TRUE(palette);
  EXPECT_EQ(FreeImage_GetColorType(palette.get()), FIC_PALETTE);
  settings.job.conversion = "jpg";
  Bitmap grey = convert(colourPicture(), 8);
  ASSERT_TRUE(grey);
  EXPECT_EQ(grey.bpp(), 8u);
  EXPECT_EQ(FreeImage_GetColorType(grey.get()), FIC_MINISBLACK);
  // A 32-bit picture is brought to 24 bits before the quantizer.
  settings.job.conversion = "png";
  Bitmap fromRgba = convert(convert(colourPicture(), 32), 8);
  ASSERT_TRUE(fromRgba);
  EXPECT_EQ(FreeImage_GetColorType(fromRgba.get()), FIC_PALETTE);
}

TEST_F(OutputDepthTest, SixteenBitsIs555ForIconsAndTargaElse565) {
  settings.job.conversion = "tga";
  Bitmap tga = convert(colourPicture(), 16);
  ASSERT_TRUE(tga);
  EXPECT_EQ(FreeImage_GetGreenMask(tga.get()), static_cast<unsigned>(FI16_555_GREEN_MASK));
  settings.job.conversion = "bmp";
  Bitmap bmp = convert(colourPicture(), 16);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(FreeImage_GetGreenMask(bmp.get()), static_cast<unsigned>(FI16_565_GREEN_MASK));
  // From 48 bits through 24 first.
  Bitmap deep = convert(convert(colourPicture(), 48), 16);
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep.bpp(), 16u);
}

TEST_F(OutputDepthTest, OneBitIsDitheredBlackAndWhite) {
  Bitmap out = convert(colourPicture(), 1);
  ASSERT_TRUE(out);
  EXPECT_EQ(out.bpp(), 1u);
  FREE_IMAGE_COLOR_TYPE type = FreeImage_GetColorType(out.get());
  EXPECT_TRUE(type == FIC_MINISBLACK || type == FIC_MINISWHITE);
}

TEST_F(OutputDepthTest, DepthOutsideTheTableGivesNoImage) {
  EXPECT_FALSE(convert(colourPicture(), 12));
  EXPECT_FALSE(convert(colourPicture(), 64));
}

TEST_F(OutputDepthTest, AutoFollowsTheLoadedDepthNotTheCurrentOne) {
  // Made greyscale by the operations, the picture still goes out at the
  // depth chosen for the loaded 24 bits.
  Bitmap grey(FreeImage_ConvertToGreyscale(colourPicture().get()));
  Bitmap out = convert(std::move(grey), 0);
  EXPECT_EQ(file.targetBpp, 24);
  ASSERT_TRUE(out);
  EXPECT_EQ(out.bpp(), 24u);

  file.sourceDepth = 32;
  EXPECT_EQ(convert(colourPicture(), 0).bpp(), 32u);
  file.sourceDepth = 16;
  EXPECT_EQ(convert(colourPicture(), 0).bpp(), 24u);
  EXPECT_EQ(file.targetBpp, 24);
  file.sourceDepth = 128;
  convert(colourPicture(), 0);
  EXPECT_EQ(file.targetBpp, 96);
  file.sourceDepth = 8;
  Bitmap eight = convert(colourPicture(), 0);
  EXPECT_EQ(file.targetBpp, 8);
  EXPECT_EQ(FreeImage_GetColorType(eight.get()), FIC_PALETTE);
}

TEST(SaveFlags, Tiff) {
  Settings s;
  EXPECT_EQ(computeSaveFlags("tiff", s.save), TIFF_NONE);
  const int32_t expected[] = {TIFF_NONE,    TIFF_CCITTFAX3,     TIFF_CCITTFAX4, TIFF_PACKBITS, TIFF_DEFLATE,
                              TIFF_ADOBE_DEFLATE, TIFF_LZW, TIFF_JPEG,      TIFF_LOGLUV};
  for (int code = 0; code < 9; ++code) {
    s.save.tiffCompression = code;
    EXPECT_EQ(computeSaveFlags("tiff", s.save), expected[code]) << code;
  }
  s.save.tiffCompression = 9;
  EXPECT_EQ(computeSaveFlags("tiff", s.save), TIFF_DEFAULT);
  s.save.tiffCompression = TIFFC_LZW;
  s.save.tiffColorModel = COLOR_MODEL_CMYK;
  EXPECT_EQ(computeSaveFlags("tiff", s.save), 0x4001);
  s.save.tiffColorModel = COLOR_MODEL_LAB;
  EXPECT_EQ(computeSaveFlags("tiff", s.save), TIFF_LZW);
}

TEST(SaveFlags, BmpExrPngTga) {
  Settings s;
  EXPECT_EQ(computeSaveFlags("bmp", s.save), BMP_DEFAULT);
  s.save.bmpCompression = BMPTGA_RLE;
  EXPECT_EQ(computeSaveFlags("bmp", s.save), BMP_SAVE_RLE);
  s.save.bmpCompression = 7;
  EXPECT_EQ(computeSaveFlags("bmp", s.save), 0);

  const int32_t exr[] = {EXR_NONE, EXR_ZIP, EXR_PIZ, EXR_PXR24, EXR_B44};
  for (int code = 0; code < 5; ++code) {
    s.save.exrCompression = code;
    EXPECT_EQ(computeSaveFlags("exr", s.save), exr[code]);
  }
  s.save.exrCompression = 5;
  EXPECT_EQ(computeSaveFlags("exr", s.save), 0);

  const int32_t png[] = {PNG_Z_NO_COMPRESSION, PNG_Z_BEST_SPEED, PNG_Z_DEFAULT_COMPRESSION, PNG_Z_BEST_COMPRESSION};
  for (int code = 0; code < 4; ++code) {
    s.save.pngCompression = code;
    EXPECT_EQ(computeSaveFlags("png", s.save), png[code]);
  }
  s.save.pngInterlaced = true;
  EXPECT_EQ(computeSaveFlags("png", s.save), PNG_Z_BEST_COMPRESSION | PNG_INTERLACED);
  s.save.pngCompression = 4;
  EXPECT_EQ(computeSaveFlags("png", s.save), PNG_INTERLACED);

  EXPECT_EQ(computeSaveFlags("tga", s.save), 0);
  s.save.tgaCompression = BMPTGA_RLE;
  EXPECT_EQ(computeSaveFlags("tga", s.save), TARGA_SAVE_RLE);
}

TEST(SaveFlags, JpegQualityChromaAndSaveAs) {
  Settings s;
  EXPECT_EQ(computeSaveFlags("jpg", s.save), 95 | JPEG_SUBSAMPLING_444);
  s.save.jpgQuality = 80;
  s.save.jpgChroma = CHROMA_MEDIUM;
  s.save.jpgSaveAs = JPEG_SAVE_PROGRESSIVE;
  EXPECT_EQ(computeSaveFlags("jpg", s.save), 80 | JPEG_SUBSAMPLING_420 | JPEG_PROGRESSIVE);
  s.save.jpgChroma = CHROMA_LOW;
  s.save.jpgSaveAs = JPEG_SAVE_SIMPLE;
  EXPECT_EQ(computeSaveFlags("jpg", s.save), 80 | JPEG_SUBSAMPLING_422 | JPEG_BASELINE);
  s.save.jpgChroma = CHROMA_HIGH;
  s.save.jpgSaveAs = JPEG_SAVE_OPTIMIZED;
  EXPECT_EQ(computeSaveFlags("jpg", s.save), 80 | JPEG_SUBSAMPLING_411 | JPEG_OPTIMIZE);
  s.save.jpgChroma = 9;
  s.save.jpgSaveAs = 9;
  EXPECT_EQ(computeSaveFlags("jpg", s.save), 80);
}

TEST(SaveFlags, FixedAndZeroFormats) {
  Settings s;
  s.save.tiffCompression = TIFFC_LZW;  // other formats' settings do not leak in
  s.save.bmpCompression = BMPTGA_RLE;
  EXPECT_EQ(computeSaveFlags("jxr", s.save), JXR_LOSSLESS);
  EXPECT_EQ(computeSaveFlags("webp", s.save), WEBP_LOSSLESS);
  for (const char* ext : {"dds", "gif", "hdr", "ico", "j2k", "jng", "jp2", "pbm", "pcx", "pfm", "pgm", "ppm",
                          "psd", "wbmp", "xpm", "TIFF", ""}) {
    EXPECT_EQ(computeSaveFlags(ext, s.save), 0) << ext;
  }
}

}  // namespace
}  // namespace quorbix
