#include "image/image_io.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_paths.h"

namespace quorbix {
namespace {

// Writers that seek back (TIFF directories, BMP headers) and readers that
// seek to the end (Targa footers) all go through the tracked stream.
TEST(ImageFiles, EveryWriterRoundTripsThroughTheStreams) {
  test::TempFolder root;
  Bitmap picture(FreeImage_Allocate(301, 203, 24));
  struct Case {
    FREE_IMAGE_FORMAT format;
    int flags;
    const char* name;
  };
  for (Case c : {Case{FIF_TIFF, TIFF_NONE, "a.tiff"}, Case{FIF_TIFF, TIFF_LZW, "b.tiff"},
                 Case{FIF_TIFF, TIFF_DEFLATE, "c.tiff"}, Case{FIF_BMP, BMP_SAVE_RLE, "d.bmp"},
                 Case{FIF_PNG, PNG_Z_BEST_SPEED, "e.png"}, Case{FIF_JPEG, 90, "f.jpg"},
                 Case{FIF_TARGA, TARGA_SAVE_RLE, "g.tga"}}) {
    SCOPED_TRACE(c.name);
    const std::string path = root.path() + c.name;
    ASSERT_TRUE(saveImageFile(c.format, picture, path, c.flags));
    Bitmap back = loadImageFile(c.format, path, 0);
    ASSERT_TRUE(back);
    EXPECT_EQ(back.width(), 301u);
    EXPECT_EQ(back.height(), 203u);
  }
  EXPECT_TRUE(isCompleteTarga(root.path() + "g.tga"));
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(root.path())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names.size(), 7u);  // no temporary siblings left
}

TEST(ImageFiles, NothingToSaveOrNowhereToLoadFrom) {
  test::TempFolder root;
  EXPECT_FALSE(saveImageFile(FIF_TIFF, Bitmap(), root.path() + "x.tiff", 0));
  EXPECT_FALSE(std::filesystem::exists(root.path() + "x.tiff"));
  EXPECT_FALSE(loadImageFile(FIF_TARGA, root.path() + "missing.tga", 0));
  EXPECT_FALSE(loadImageFile(FIF_TARGA, root.path(), 0));  // a folder
  EXPECT_FALSE(isCompleteTarga(root.path()));
  EXPECT_FALSE(isReadablePhotoCd(root.path()));
}

}  // namespace
}  // namespace quorbix
