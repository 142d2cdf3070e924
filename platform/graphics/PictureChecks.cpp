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

// A device-independent bitmap inside a metafile record, from `at` bytes into
// the record's parameters: its header, colour table and pixels inside the
// record, of a size within the pixel limit. The colour table is reckoned at
// its larger size (four bytes an entry).
bool RecordDibIsSound(std::span<const uint8_t> p, size_t at) {
  if (at + 16 > p.size()) return false;
  const uint32_t headerSize = U32(p, at);
  int64_t width = 0;
  int64_t height = 0;
  unsigned bits = 0;
  uint32_t compression = 0;
  uint32_t imageSize = 0;
  uint64_t colours = 0;
  if (headerSize == 12) {
    width = U16(p, at + 4);
    height = U16(p, at + 6);
    bits = U16(p, at + 10);
  } else if (headerSize >= 40 && headerSize <= 124) {
    if (at + headerSize > p.size()) return false;
    width = static_cast<int32_t>(U32(p, at + 4));
    height = static_cast<int32_t>(U32(p, at + 8));
    bits = U16(p, at + 14);
    compression = U32(p, at + 16);
    imageSize = U32(p, at + 20);
    colours = U32(p, at + 32);
  } else {
    return false;
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || TooManyPixels(width, height)) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (colours == 0 && bits <= 8) colours = uint64_t{1} << bits;
  if (colours > 256 && bits <= 8) return false;
  uint64_t table = colours * 4;
  if (compression == 3 && headerSize == 40) table += 12;  // the three masks
  uint64_t pixels = 0;
  switch (compression) {
    case 0:
    case 3:
      pixels = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4 * static_cast<uint64_t>(height);
      break;
    case 1:
    case 2:
      pixels = imageSize;
      break;
    default:  // JPEG or PNG inside: for printers only
      return false;
  }
  return at + headerSize + table + pixels <= p.size();
}

// The parameters of one metafile record, as the platform's player reads
// them: every word it reads lies inside the record, and every object it
// names exists in the object table (`objects` entries). Record kinds outside
// this list (obsolete device-dependent bitmaps, regions, kinds unknown here)
// are refused: the player trusts whatever it reads.
bool RecordIsSound(uint16_t function, std::span<const uint8_t> p, unsigned objects) {
  const size_t n = p.size() / 2;
  const auto word = [&](size_t i) { return static_cast<size_t>(U16(p, 2 * i)); };
  const auto object = [&](size_t i) { return n > i && word(i) < objects; };
  switch (function) {
    case 0x001E:  // SaveDC
    case 0x0035:  // RealizePalette
    case 0x00F8:  // a placeholder object some writers emit
      return true;
    case 0x0102: case 0x0103: case 0x0104: case 0x0105: case 0x0106: case 0x0107:
    case 0x0108: case 0x0127: case 0x012E: case 0x0139:
      // background mode, map mode, raster operation, relabs, fill mode,
      // stretch mode, character extra, RestoreDC, text alignment, palette size
      return n >= 1;
    case 0x0201: case 0x0209: case 0x020A: case 0x020B: case 0x020C: case 0x020D:
    case 0x020E: case 0x020F: case 0x0211: case 0x0213: case 0x0214: case 0x0220:
    case 0x0231: case 0x0149:
      // colours, justification, window and viewport origins and extents,
      // LineTo, MoveTo, clip offset, mapper flags, layout
      return n >= 2;
    case 0x0410: case 0x0412: case 0x0415: case 0x0416: case 0x0418: case 0x041B:
    case 0x041F: case 0x0419:
      // scaling, clip rectangles, Ellipse, Rectangle, SetPixel, FloodFill
      return n >= 4;
    case 0x0548:  // ExtFloodFill
      return n >= 5;
    case 0x061C: case 0x061D:  // RoundRect, PatBlt
      return n >= 6;
    case 0x0817: case 0x081A: case 0x0830:  // Arc, Pie, Chord
      return n >= 8;
    case 0x0324: case 0x0325:  // Polygon, Polyline: count, points
      return n >= 1 && n >= 1 + 2 * word(0);
    case 0x0538: {  // PolyPolygon: polygon count, point counts, points
      if (n < 1) return false;
      const size_t polygons = word(0);
      if (n < 1 + polygons) return false;
      size_t points = 0;
      for (size_t i = 0; i < polygons; ++i) points += word(1 + i);
      return n >= 1 + polygons + 2 * points;
    }
    case 0x0521:  // TextOut: length, text, y, x
      return n >= 1 && n >= 1 + (word(0) + 1) / 2 + 2;
    case 0x0A32: {  // ExtTextOut: y, x, length, options, [rectangle], text
      if (n < 4) return false;
      const size_t rectangle = (word(3) & 0x0006) ? 4 : 0;  // opaque or clipped
      return n >= 4 + rectangle + (word(2) + 1) / 2;
    }
    case 0x0626:  // Escape: function, byte count, data
      return n >= 2 && n >= 2 + (word(1) + 1) / 2;
    case 0x0037:  // SetPaletteEntries: start, count, entries
    case 0x0436:  // AnimatePalette
      return n >= 2 && n >= 2 + 2 * word(1);
    case 0x00F7:  // CreatePalette: version, count, entries
      return n >= 2 && n >= 2 + 2 * word(1);
    case 0x02FA:  // CreatePenIndirect
      return n >= 5;
    case 0x02FC:  // CreateBrushIndirect
      return n >= 4;
    case 0x02FB:  // CreateFontIndirect: the fixed part of the font, then its name
      return n >= 9;
    case 0x012D: case 0x01F0: case 0x012A: case 0x012B:
      // SelectObject, DeleteObject, InvertRegion, PaintRegion
      return object(0);
    case 0x012C:  // SelectClipRegion: 0 is none
      return n >= 1 && (word(0) == 0 || word(0) < objects);
    case 0x0234:  // SelectPalette: background flag, palette
      return object(1);
    case 0x0228:  // FillRegion: brush, region
      return object(0) && object(1);
    case 0x0429:  // FrameRegion: height, width, brush, region
      return object(2) && object(3);
    case 0x0142:  // DIBCreatePatternBrush: style, usage, bitmap
      return RecordDibIsSound(p, 4);
    case 0x0940:  // DIBBitBlt: operation, source, size, destination, [bitmap]
      return n >= 8 && (n <= 9 || RecordDibIsSound(p, 16));
    case 0x0B41:  // DIBStretchBlt: the same with a source size, [bitmap]
      return n >= 10 && (n <= 11 || RecordDibIsSound(p, 20));
    case 0x0F43:  // StretchDIB
      return n >= 11 && RecordDibIsSound(p, 22);
    case 0x0D33:  // SetDIBitsToDevice
      return n >= 9 && RecordDibIsSound(p, 18);
    default:
      return false;
  }
}

// The metafile's records after the placeable header: a 9-word header, then
// records of (size in words, function), every one inside the data and sound
// in its parameters, ending with the end record. A damaged record table is
// refused here rather than left to the player, which would draw what it
// could of it or read past the data.
bool WmfRecordsAreSound(std::span<const uint8_t> d) {
  constexpr size_t kPlaceableBytes = 22;
  if (d.size() < kPlaceableBytes + 18) return false;
  const uint16_t type = U16(d, kPlaceableBytes);
  const uint16_t headerWords = U16(d, kPlaceableBytes + 2);
  const unsigned objects = U16(d, kPlaceableBytes + 10);
  if ((type != 1 && type != 2) || headerWords != 9) return false;
  size_t at = kPlaceableBytes + 18;
  while (at + 6 <= d.size()) {
    const uint64_t words = U32(d, at);
    const uint16_t function = U16(d, at + 4);
    if (words < 3 || at + 2 * words > d.size()) return false;
    if (function == 0) return true;  // the end record
    if (!RecordIsSound(function, d.subspan(at + 6, static_cast<size_t>(2 * words - 6)), objects)) {
      return false;
    }
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

// One image of an icon: a PNG, or a bitmap of the directory's size whose
// header, colour table, colour pixels and transparency mask lie inside the
// image's bytes (its height counts both pixel blocks). Decoders size their
// copies from the directory and read by the bitmap's header.
bool IconImageIsSound(std::span<const uint8_t> image, int64_t width, int64_t height) {
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (image.size() >= 8 && std::memcmp(image.data(), kPng, 8) == 0) return true;
  if (image.size() < 40 || U32(image, 0) != 40) return false;
  const int64_t dibWidth = static_cast<int32_t>(U32(image, 4));
  const int64_t dibHeight = static_cast<int32_t>(U32(image, 8));
  const unsigned bits = U16(image, 14);
  if (dibWidth != width || dibHeight != 2 * height) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (U32(image, 16) != 0 && U32(image, 16) != 3) return false;  // uncompressed or bit fields
  uint64_t colours = U32(image, 32);
  if (colours == 0 && bits <= 8) colours = uint64_t{1} << bits;
  if (bits <= 8 && colours > 256) return false;
  const uint64_t table = colours * 4 + (U32(image, 16) == 3 ? 12 : 0);
  const uint64_t colourRow = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  const uint64_t maskRow = (static_cast<uint64_t>(width) + 31) / 32 * 4;
  return 40 + table + (colourRow + maskRow) * static_cast<uint64_t>(height) <= image.size();
}

bool IcoDirectoryIsSound(std::span<const uint8_t> d) {
  if (d.size() < 6 || U16(d, 0) != 0) return false;
  const uint16_t type = U16(d, 2);
  const uint64_t count = U16(d, 4);
  if ((type != 1 && type != 2) || count == 0 || 6 + 16 * count > d.size()) return false;
  for (uint64_t i = 0; i < count; ++i) {
    const size_t entry = static_cast<size_t>(6 + 16 * i);
    // A size byte of 0 means 256.
    const int64_t width = d[entry] == 0 ? 256 : d[entry];
    const int64_t height = d[entry + 1] == 0 ? 256 : d[entry + 1];
    const uint64_t bytes = U32(d, entry + 8);
    const uint64_t offset = U32(d, entry + 12);
    if (bytes == 0 || offset + bytes > d.size()) return false;
    if (!IconImageIsSound(d.subspan(static_cast<size_t>(offset), static_cast<size_t>(bytes)), width,
                          height)) {
      return false;
    }
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
