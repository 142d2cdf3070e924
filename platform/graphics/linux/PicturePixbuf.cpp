// Windows bitmaps, GIF, icons and placeable metafiles through gdk-pixbuf, the
// loader forced by the extension. gdk-pixbuf accepts some damaged files
// quietly (a bitmap whose pixel data is cut short loads with the rest left
// blank), so the headers are checked here first.

#include <cstring>
#include <new>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "platform/graphics/Geometry.h"
#include "platform/graphics/PictureDecode.h"

namespace ls::picture_detail {

namespace {

uint16_t U16(std::span<const uint8_t> d, size_t at) {
  return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}
uint32_t U32(std::span<const uint8_t> d, size_t at) {
  return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
         (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

bool TooManyPixels(int64_t width, int64_t height) { return width * height > kMaxPicturePixels; }

// What the fourth byte of a pixel means.
enum class Alpha {
  kBlend,   // coverage: blended over the background colour
  kIgnore,  // unused (Windows bitmaps are drawn opaque whatever it holds)
};

// Copies a pixbuf into a bitmap.
std::optional<Bitmap> BitmapFromPixbuf(GdkPixbuf* pixbuf, Alpha alphaUse, Pixel background) {
  const int width = gdk_pixbuf_get_width(pixbuf);
  const int height = gdk_pixbuf_get_height(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const bool hasAlpha = gdk_pixbuf_get_has_alpha(pixbuf);
  const bool alpha = hasAlpha && alphaUse == Alpha::kBlend;
  if (width <= 0 || height <= 0 || TooManyPixels(width, height) ||
      gdk_pixbuf_get_bits_per_sample(pixbuf) != 8 || channels < (hasAlpha ? 4 : 3)) {
    return std::nullopt;
  }
  Bitmap out;
  try {
    out.Resize(width, height);
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guint8* pixels = gdk_pixbuf_read_pixels(pixbuf);
  const unsigned bgR = (background >> 16) & 0xFF;
  const unsigned bgG = (background >> 8) & 0xFF;
  const unsigned bgB = background & 0xFF;
  for (int y = 0; y < height; ++y) {
    const guint8* s = pixels + static_cast<size_t>(y) * stride;
    Pixel* d = out.Row(y);
    for (int x = 0; x < width; ++x, s += channels) {
      unsigned r = s[0], g = s[1], b = s[2];
      if (alpha) {
        const unsigned a = s[3];
        r = (r * a + bgR * (255 - a) + 127) / 255;
        g = (g * a + bgG * (255 - a) + 127) / 255;
        b = (b * a + bgB * (255 - a) + 127) / 255;
      }
      d[x] = (r << 16) | (g << 8) | b;
    }
  }
  return out;
}

// Feeds the whole data to the loader of `type`. With a size above 0 the
// loader renders at that size (metafiles have none of their own in pixels).
std::optional<Bitmap> LoadWithPixbuf(std::span<const uint8_t> data, const char* type,
                                     Alpha alphaUse, const PictureLoadOptions& options,
                                     int width = 0, int height = 0) {
  GError* error = nullptr;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type(type, &error);
  if (!loader) {
    g_clear_error(&error);
    return std::nullopt;
  }
  if (width > 0 && height > 0) gdk_pixbuf_loader_set_size(loader, width, height);
  bool ok = gdk_pixbuf_loader_write(loader, data.data(), data.size(), &error);
  g_clear_error(&error);
  // A loader must be closed even after a failed write; closing reports data
  // that ended early.
  ok = gdk_pixbuf_loader_close(loader, &error) && ok;
  g_clear_error(&error);
  std::optional<Bitmap> result;
  if (ok) {
    if (GdkPixbuf* pixbuf = gdk_pixbuf_loader_get_pixbuf(loader)) {
      result = BitmapFromPixbuf(pixbuf, alphaUse, options.background);
    }
  }
  g_object_unref(loader);
  return result;
}

// The bitmap header against the data: size of the pixels declared, pixel
// data present in full.
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
  // else is damage; gdk-pixbuf would trust it and allocate that much.
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

std::optional<Bitmap> DecodeBmp(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  if (!BmpHeaderIsSound(data)) return std::nullopt;
  return LoadWithPixbuf(data, "bmp", Alpha::kIgnore, options);
}

std::optional<Bitmap> DecodeGif(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  // The logical screen is what gdk-pixbuf allocates.
  if (data.size() < 13 || std::memcmp(data.data(), "GIF8", 4) != 0) return std::nullopt;
  if (TooManyPixels(U16(data, 6), U16(data, 8))) return std::nullopt;
  return LoadWithPixbuf(data, "gif", Alpha::kBlend, options);
}

// The icon directory against the data: every entry's image lies inside it.
// The decoder sizes its buffers from the entries before it reads them.
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

std::optional<Bitmap> DecodeIco(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  if (!IcoDirectoryIsSound(data)) return std::nullopt;
  // Icon entries are at most 256 x 256; gdk-pixbuf picks the largest.
  return LoadWithPixbuf(data, "ico", Alpha::kBlend, options);
}

std::optional<Bitmap> DecodeWmf(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  // Only placeable metafiles carry a size: the bounding box in units of
  // 1/inch inch. Shown at 96 pixels per inch, as the platform does.
  constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
  if (data.size() < 22 || U32(data, 0) != kPlaceableKey) return std::nullopt;
  const int left = static_cast<int16_t>(U16(data, 6));
  const int top = static_cast<int16_t>(U16(data, 8));
  const int right = static_cast<int16_t>(U16(data, 10));
  const int bottom = static_cast<int16_t>(U16(data, 12));
  const int inch = U16(data, 14);
  if (inch == 0) return std::nullopt;
  const int width = MulDiv(std::abs(right - left), 96, inch);
  const int height = MulDiv(std::abs(bottom - top), 96, inch);
  if (width <= 0 || height <= 0 || TooManyPixels(width, height)) return std::nullopt;
  if (!WmfRecordsAreSound(data)) return std::nullopt;
  return LoadWithPixbuf(data, "wmf", Alpha::kBlend, options, width, height);
}

}  // namespace ls::picture_detail
