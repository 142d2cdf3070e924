// Windows bitmaps, GIF, icons and placeable metafiles through gdk-pixbuf, the
// loader forced by the extension. gdk-pixbuf accepts some damaged files
// quietly (a bitmap whose pixel data is cut short loads with the rest left
// blank), so the headers are checked first, as on every platform.

#include <new>

#include <gdk-pixbuf/gdk-pixbuf.h>

#include "platform/graphics/Geometry.h"
#include "platform/graphics/PictureChecks.h"
#include "platform/graphics/PictureDecode.h"

namespace ls::picture_detail {

namespace {

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
  if (width <= 0 || height <= 0 || picture_checks::TooManyPixels(width, height) ||
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

}  // namespace

std::optional<Bitmap> DecodeBmp(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  if (!picture_checks::BmpHeaderIsSound(data)) return std::nullopt;
  return LoadWithPixbuf(data, "bmp", Alpha::kIgnore, options);
}

std::optional<Bitmap> DecodeGif(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  // The logical screen is what gdk-pixbuf allocates.
  if (!picture_checks::GifHeaderIsSound(data)) return std::nullopt;
  return LoadWithPixbuf(data, "gif", Alpha::kBlend, options);
}

std::optional<Bitmap> DecodeIco(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  if (!picture_checks::IcoDirectoryIsSound(data)) return std::nullopt;
  // Icon entries are at most 256 x 256; gdk-pixbuf picks the largest.
  return LoadWithPixbuf(data, "ico", Alpha::kBlend, options);
}

std::optional<Bitmap> DecodeWmf(std::span<const uint8_t> data, const PictureLoadOptions& options) {
  int width = 0;
  int height = 0;
  if (!picture_checks::WmfPixelSize(data, &width, &height)) return std::nullopt;
  return LoadWithPixbuf(data, "wmf", Alpha::kBlend, options, width, height);
}

}  // namespace ls::picture_detail
