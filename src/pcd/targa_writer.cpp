#include "pcd/targa_writer.h"

#include <algorithm>

#include "platform/staged_file.h"

namespace quorbix::pcd {

std::array<uint8_t, kTargaHeaderSize> targaHeader(int width, int height) {
  std::array<uint8_t, kTargaHeaderSize> h{};
  h[2] = 2;  // uncompressed true-colour
  h[12] = static_cast<uint8_t>(width & 0xff);
  h[13] = static_cast<uint8_t>(width >> 8);
  h[14] = static_cast<uint8_t>(height & 0xff);
  h[15] = static_cast<uint8_t>(height >> 8);
  h[16] = 24;    // bits per pixel
  h[17] = 0x20;  // first row is the top row
  return h;
}

bool writeTarga(const BgrImage& image, const std::string& path) {
  if (image.width <= 0 || image.height <= 0 || image.width > 0xffff || image.height > 0xffff) return false;
  platform::StagedFile file;
  if (!file.open(path)) return false;
  const auto header = targaHeader(image.width, image.height);
  if (!file.write(header.data(), header.size()) || !file.write(image.pixels.data(), image.pixels.size())) {
    return false;  // the destructor removes the temporary file
  }
  return file.commit();
}

bool writeTarga(const YccPicture& picture, Rotation rotation, const std::string& path, ToneRendering tone) {
  const UprightRenderer renderer(picture, rotation, tone);
  const int width = renderer.width();
  const int height = renderer.height();
  if (width <= 0 || height <= 0 || width > 0xffff || height > 0xffff) return false;
  platform::StagedFile file;
  if (!file.open(path)) return false;
  const auto header = targaHeader(width, height);
  if (!file.write(header.data(), header.size())) return false;
  // One band is converted while the previous one is still in the cache, and
  // the whole picture never exists in sRGB.
  const int bandRows = renderer.bandRows();
  const size_t stride = static_cast<size_t>(width) * 3;
  ByteBuffer band(stride * static_cast<size_t>(bandRows));
  for (int row0 = 0; row0 < height; row0 += bandRows) {
    const int rows = std::min(bandRows, height - row0);
    renderer.render(row0, rows, band.data());
    if (!file.write(band.data(), stride * static_cast<size_t>(rows))) return false;
  }
  return file.commit();
}

}  // namespace quorbix::pcd
