#pragma once
// A picture in memory: 32-bit pixels, bytes B, G, R, X, top-down rows.
//
// The same memory layout as cairo RGB24, pixman x8r8g8b8 and SDL XRGB8888, so
// a Bitmap can be handed to any of them without conversion. Only B, G and R
// carry meaning; every operation gives on them what a 24-bit image would.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/graphics/Geometry.h"

namespace ls {

// One pixel as a 32-bit value: 0x00RRGGBB (little-endian bytes B, G, R, X).
using Pixel = uint32_t;

// A colour of the settings files is 0x00BBGGRR (red in the low byte).
constexpr Pixel PixelFromColorRef(uint32_t c) {
  return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr uint32_t ColorRefFromPixel(Pixel p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

class Bitmap {
 public:
  Bitmap() = default;
  // A width x height bitmap, every pixel 0 (black).
  Bitmap(int width, int height) { Resize(width, height); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool IsEmpty() const { return width_ <= 0 || height_ <= 0; }
  Rect Bounds() const { return {0, 0, width_, height_}; }

  // Changes the size; the pixels are all 0 afterwards when the size changed,
  // untouched when it did not.
  void Resize(int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  }

  Pixel* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const Pixel* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  Pixel* Data() { return pixels_.data(); }
  const Pixel* Data() const { return pixels_.data(); }
  // Bytes from one row to the next.
  size_t StrideBytes() const { return static_cast<size_t>(width_) * sizeof(Pixel); }

  Pixel At(int x, int y) const { return Row(y)[x]; }
  void Set(int x, int y, Pixel p) { Row(y)[x] = p; }

  friend bool operator==(const Bitmap& a, const Bitmap& b) {
    return a.width_ == b.width_ && a.height_ == b.height_ && a.pixels_ == b.pixels_;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Pixel> pixels_;
};

}  // namespace ls
