#pragma once
// Small picture files made in the tests themselves: JPEG through libjpeg's
// compressor, ICO and PNG through gdk-pixbuf (Fixtures.cpp, Linux); BMP, GIF
// and metafiles written byte by byte (Encoders.cpp, every system).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/graphics/Bitmap.h"

namespace ls::test {

using Bytes = std::vector<uint8_t>;

enum class JpegKind { kBaseline, kProgressive, kGrey, kCmykAdobe };

// Encodes the bitmap (4:4:4, so that colour edges stay sharp).
Bytes EncodeJpeg(const Bitmap& picture, int quality = 95, JpegKind kind = JpegKind::kBaseline);
// A large grey JPEG made row by row, for pictures too big to hold as a Bitmap;
// `grey(x, y)` gives each sample.
Bytes EncodeGreyJpeg(int width, int height, const std::function<uint8_t(int, int)>& grey);

// An uncompressed 24-bit Windows bitmap, rows bottom-up unless topDown.
Bytes EncodeBmp24(const Bitmap& picture, bool topDown = false);
// An 8-bit palette bitmap: `indices` row-major, top row first.
Bytes EncodeBmp8(int width, int height, const std::vector<Pixel>& palette,
                 const std::vector<uint8_t>& indices);
// A bitmap header declaring width x height at 24 bits with `dataBytes` of
// pixel data actually present.
Bytes BmpHeaderOnly(int width, int height, size_t dataBytes);

// A GIF89a with a global palette (at most 256 colours), optional transparent
// index (-1 for none), indices row-major.
Bytes EncodeGif(int width, int height, const std::vector<Pixel>& palette,
                const std::vector<uint8_t>& indices, int transparentIndex = -1);

// A placeable metafile of width x height units at `unitsPerInch`: its left
// half filled with `left`, its right half with `right` (0x00RRGGBB).
Bytes EncodeWmf(int width, int height, int unitsPerInch, Pixel left, Pixel right);

// RGBA pixels, 0xAARRGGBB, row-major, saved by gdk-pixbuf.
Bytes EncodeWithPixbuf(int width, int height, const std::vector<uint32_t>& argb,
                       const char* type);

// A four-colour test card: quadrants red, green, blue, white.
Bitmap Quadrants(int width, int height);

void WriteFile(const std::string& path, const Bytes& bytes);

}  // namespace ls::test
