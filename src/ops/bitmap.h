// Bitmap: sole owner of one FreeImage bitmap. Moving it hands the bitmap on;
// destroying it unloads the bitmap. An empty Bitmap stands for "no image".
#pragma once

#include <FreeImage.h>

#include <utility>

namespace quorbix {

class Bitmap {
 public:
  Bitmap() = default;
  explicit Bitmap(FIBITMAP* dib) : dib_(dib) {}
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  Bitmap(Bitmap&& other) noexcept : dib_(std::exchange(other.dib_, nullptr)) {}
  Bitmap& operator=(Bitmap&& other) noexcept {
    if (this != &other) reset(std::exchange(other.dib_, nullptr));
    return *this;
  }
  ~Bitmap() { reset(); }

  FIBITMAP* get() const { return dib_; }
  explicit operator bool() const { return dib_ != nullptr; }

  // Gives up ownership without unloading.
  FIBITMAP* release() { return std::exchange(dib_, nullptr); }

  // Unloads the current bitmap (if any) and takes `dib`.
  void reset(FIBITMAP* dib = nullptr) {
    if (dib_ != nullptr && dib_ != dib) FreeImage_Unload(dib_);
    dib_ = dib;
  }

  unsigned width() const { return dib_ ? FreeImage_GetWidth(dib_) : 0; }
  unsigned height() const { return dib_ ? FreeImage_GetHeight(dib_) : 0; }
  unsigned bpp() const { return dib_ ? FreeImage_GetBPP(dib_) : 0; }

 private:
  FIBITMAP* dib_ = nullptr;
};

}  // namespace quorbix
