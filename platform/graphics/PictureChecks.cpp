#include "platform/graphics/PictureChecks.h"

#include <cstdlib>
#include <cstring>

#include "platform/graphics/Geometry.h"
#include "platform/graphics/Picture.h"

namespace ls::picture_checks {

namespace {

uint16_t U16(std::span<const uint8_t> d, size_t at) {
  return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}
uint32_t U32(std::span<const uint8_t> d, size_t at) {
  return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
         (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

// The metafile's records after the placeable header: a 9-word header, then
// records of (size in words, function), every one inside the data, ending
// with the end record. A damaged record table is refused here rather than
// left to the renderer, which would draw what it could of it.
bool WmfRecordsAreSound(std::span<const uint8_t> d) {
  constexpr size_t kPlaceableBytes = 22;
  if (d.size() < kPlaceableBytes + 18) return false;
  const uint16_t type = U16(d, kPlaceableBytes);
  const uint16_t headerWords = U16(d, kPlaceableBytes + 2);
  if ((type != 1 && type != 2) || headerWords != 9) return false;
  size_t at = kPlaceableBytes + 18;
  while (at + 6 <= d.size()) {
    const uint64_t words = U32(d, at);
    const uint16_t function = U16(d, at + 4);
    if (words < 3 || at + 2 * words > d.size()) return false;
    if (function == 0) return true;  // the end record
    at += static_cast<size_t>(2 * words);
  }
  return false;
}

}  // namespace

bool TooManyPixels(int64_t width, int64_t height) { return width * height > kMaxPicturePixels; }

bool BmpHeaderIsSound(std::span<const uint8_t> d) {
  if (d.size() < 26 || d[0] != 'B' || d[1] != 'M') return false;
  const uint64_t offBits = U32(d, 10);
  const uint32_t headerSize = U32(d, 14);
  int64_t width = 0;
  int64_t height = 0;
  uint32_t bitsPerPixel = 0;
  uint32_t compression = 0;
  uint32_t imageSize = 0;
  // The header kinds Windows writes: core (12), info (40), info with masks
  // (52, 56), OS/2 2.x (64), version 4 (108) and version 5 (124). Anything
  // else is damage; a decoder would trust it and allocate that much.
  switch (headerSize) {
    case 12: case 40: case 52: case 56: case 64: case 108: case 124:
      break;
    default:
      return false;
  }
  if (offBits > d.size() || d.size() < 14 + headerSize) return false;
  if (headerSize == 12) {
    width = U16(d, 18);
    height = U16(d, 20);
    bitsPerPixel = U16(d, 24);
  } else {
    width = static_cast<int32_t>(U32(d, 18));
    height = static_cast<int32_t>(U32(d, 22));
    bitsPerPixel = U16(d, 28);
    compression = U32(d, 30);
    imageSize = U32(d, 34);
  }
  // The colour table lies between the header and the pixels; a count that
  // puts it beyond the data is damage (the decoder would allocate it first).
  const uint64_t colours = headerSize == 12 ? 0 : U32(d, 46);
  if (14 + headerSize + colours * 4 > d.size()) return false;
  if (height < 0) height = -height;  // top-down rows
  if (width <= 0 || height <= 0 || TooManyPixels(width, height)) return false;
  switch (compression) {
    case 0:  // uncompressed
    case 3:  // bit fields
    case 6: {
      const uint64_t rowBytes = (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
      return offBits + rowBytes * static_cast<uint64_t>(height) <= d.size();
    }
    case 1:  // run-length encoded; the encoded size is declared
    case 2:
      return offBits < d.size() && (imageSize == 0 || offBits + imageSize <= d.size());
    default:  // JPEG or PNG inside: for printers only, never on screen
      return false;
  }
}

bool GifHeaderIsSound(std::span<const uint8_t> d) {
  // The logical screen is what the decoders allocate.
  if (d.size() < 13 || std::memcmp(d.data(), "GIF8", 4) != 0) return false;
  return !TooManyPixels(U16(d, 6), U16(d, 8));
}

bool IcoDirectoryIsSound(std::span<const uint8_t> d) {
  if (d.size() < 6 || U16(d, 0) != 0) return false;
  const uint16_t type = U16(d, 2);
  const uint64_t count = U16(d, 4);
  if ((type != 1 && type != 2) || count == 0 || 6 + 16 * count > d.size()) return false;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t bytes = U32(d, 6 + 16 * i + 8);
    const uint64_t offset = U32(d, 6 + 16 * i + 12);
    if (bytes == 0 || offset + bytes > d.size()) return false;
  }
  return true;
}

bool WmfPixelSize(std::span<const uint8_t> d, int* width, int* height) {
  // Only placeable metafiles carry a size: the bounding box in units of
  // 1/inch inch. Shown at 96 pixels per inch, as the platform does.
  constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
  if (d.size() < 22 || U32(d, 0) != kPlaceableKey) return false;
  const int left = static_cast<int16_t>(U16(d, 6));
  const int top = static_cast<int16_t>(U16(d, 8));
  const int right = static_cast<int16_t>(U16(d, 10));
  const int bottom = static_cast<int16_t>(U16(d, 12));
  const int inch = U16(d, 14);
  if (inch == 0) return false;
  const int w = MulDiv(std::abs(right - left), 96, inch);
  const int h = MulDiv(std::abs(bottom - top), 96, inch);
  if (w <= 0 || h <= 0 || TooManyPixels(w, h)) return false;
  if (!WmfRecordsAreSound(d)) return false;
  *width = w;
  *height = h;
  return true;
}

}  // namespace ls::picture_checks
