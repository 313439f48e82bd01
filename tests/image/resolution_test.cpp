#include "image/resolution.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "image/image_io.h"
#include "support/test_paths.h"

namespace quorbix {
namespace {

void setExifResolution(FIBITMAP* image, const char* key, uint32_t numerator, uint32_t denominator) {
  FITAG* tag = FreeImage_CreateTag();
  uint32_t value[2] = {numerator, denominator};
  FreeImage_SetTagKey(tag, key);
  FreeImage_SetTagType(tag, FIDT_RATIONAL);
  FreeImage_SetTagCount(tag, 1);
  FreeImage_SetTagLength(tag, sizeof value);
  FreeImage_SetTagValue(tag, value);
  FreeImage_SetMetadata(FIMD_EXIF_MAIN, image, key, tag);
  FreeImage_DeleteTag(tag);
}

TEST(Resolution, LoaderValuesWithoutExif) {
  Bitmap image(FreeImage_Allocate(8, 8, 24));
  FreeImage_SetDotsPerMeterX(image.get(), 1000);
  FreeImage_SetDotsPerMeterY(image.get(), 2000);
  Resolution r = resolutionOf(image);
  EXPECT_EQ(r.dotsPerMetreX, 1000);
  EXPECT_EQ(r.dotsPerMetreY, 2000);
}

TEST(Resolution, ExifNumeratorIsDotsPerInch) {
  Bitmap image(FreeImage_Allocate(8, 8, 24));
  FreeImage_SetDotsPerMeterY(image.get(), 2000);
  setExifResolution(image.get(), "XResolution", 300, 1);
  Resolution r = resolutionOf(image);
  EXPECT_EQ(r.dotsPerMetreX, 11811);
  EXPECT_EQ(r.dotsPerMetreY, 2000);  // no YResolution tag: the loader's value
  // The denominator is not read.
  setExifResolution(image.get(), "YResolution", 72, 10);
  EXPECT_EQ(resolutionOf(image).dotsPerMetreY, 2835);
}

TEST(Resolution, IsWrittenIntoTheSavedFile) {
  test::TempFolder root;
  Bitmap image(FreeImage_Allocate(8, 8, 24));
  setExifResolution(image.get(), "XResolution", 300, 1);
  setExifResolution(image.get(), "YResolution", 150, 1);
  applyResolution(image, resolutionOf(image));
  const std::string path = root.path() + "r.tiff";
  ASSERT_TRUE(saveImageFile(FIF_TIFF, image, path, TIFF_NONE));
  Bitmap back = loadImageFile(FIF_TIFF, path, TIFF_DEFAULT);
  ASSERT_TRUE(back);
  // TIFF stores inches; a unit's rounding may move the value by one.
  EXPECT_NEAR(static_cast<double>(FreeImage_GetDotsPerMeterX(back.get())), 11811.0, 1.0);
  EXPECT_NEAR(static_cast<double>(FreeImage_GetDotsPerMeterY(back.get())), 5906.0, 1.0);
}

}  // namespace
}  // namespace quorbix
