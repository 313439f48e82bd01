// Bitmap: sole owner of one FreeImage bitmap. Moving it hands the bitmap on;
// destroying it unloads the bitmap. An empty Bitmap stands for "no image".
// Pixel rows are scan lines as FreeImage keeps them: row 0 is the bottom row,
// each row `pitch()` bytes apart, 24- and 32-bit pixels in the channel order
// of kRedByte..kAlphaByte.
#pragma once

#include <cstdint>
#include <utility>

struct FIBITMAP;

namespace quorbix {

// Byte offsets of the channels within a 24- or 32-bit pixel.
inline constexpr int kBlueByte = 0;
inline constexpr int kGreenByte = 1;
inline constexpr int kRedByte = 2;
inline constexpr int kAlphaByte = 3;

// The kind of samples a bitmap holds (FreeImage's image types, same order).
enum class SampleType {
  Unknown,
  Standard,  // 1- to 32-bit pixels, palette or RGB(A)
  Uint16,
  Int16,
  Uint32,
  Int32,
  Float,
  Double,
  Complex,
  Rgb16,
  Rgba16,
  RgbF,
  RgbaF,
};

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
  void reset(FIBITMAP* dib = nullptr);

  unsigned width() const;
  unsigned height() const;
  unsigned bpp() const;
  SampleType type() const;  // Unknown for an empty bitmap
  unsigned pitch() const;   // bytes from one scan line to the next

  // Scan line `y` (0 = bottom row); the bitmap must not be empty.
  uint8_t* scanLine(unsigned y) const;

 private:
  FIBITMAP* dib_ = nullptr;
};

}  // namespace quorbix
