#include "tests/graphics_io/Fixtures.h"

#include <cstdlib>
#include <stdexcept>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <jpeglib.h>

namespace ls::test {

namespace {

// Runs the compressor with rows from `fill(y, row)`.
Bytes Compress(int width, int height, int components, J_COLOR_SPACE space, int quality,
               bool progressive, const std::function<void(int, uint8_t*)>& fill) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = space;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  for (int c = 0; c < cinfo.num_components; ++c) {
    cinfo.comp_info[c].h_samp_factor = 1;
    cinfo.comp_info[c].v_samp_factor = 1;
  }
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * components);
  while (cinfo.next_scanline < cinfo.image_height) {
    fill(static_cast<int>(cinfo.next_scanline), row.data());
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace

Bytes EncodeJpeg(const Bitmap& picture, int quality, JpegKind kind) {
  const int w = picture.Width();
  switch (kind) {
    case JpegKind::kGrey:
      return Compress(w, picture.Height(), 1, JCS_GRAYSCALE, quality, false, [&](int y, uint8_t* r) {
        for (int x = 0; x < w; ++x) r[x] = static_cast<uint8_t>(picture.At(x, y) >> 8);
      });
    case JpegKind::kCmykAdobe:
      // Adobe's convention: stored inks are inverted, so an ink byte of 255
      // is no ink. C, M, Y carry R, G, B and K is "no black".
      return Compress(w, picture.Height(), 4, JCS_CMYK, quality, false, [&](int y, uint8_t* r) {
        for (int x = 0; x < w; ++x) {
          const Pixel p = picture.At(x, y);
          r[4 * x + 0] = static_cast<uint8_t>(p >> 16);
          r[4 * x + 1] = static_cast<uint8_t>(p >> 8);
          r[4 * x + 2] = static_cast<uint8_t>(p);
          r[4 * x + 3] = 255;
        }
      });
    case JpegKind::kBaseline:
    case JpegKind::kProgressive:
      break;
  }
  return Compress(w, picture.Height(), 3, JCS_RGB, quality, kind == JpegKind::kProgressive,
                  [&](int y, uint8_t* r) {
                    for (int x = 0; x < w; ++x) {
                      const Pixel p = picture.At(x, y);
                      r[3 * x + 0] = static_cast<uint8_t>(p >> 16);
                      r[3 * x + 1] = static_cast<uint8_t>(p >> 8);
                      r[3 * x + 2] = static_cast<uint8_t>(p);
                    }
                  });
}

Bytes EncodeGreyJpeg(int width, int height, const std::function<uint8_t(int, int)>& grey) {
  return Compress(width, height, 1, JCS_GRAYSCALE, 75, false, [&](int y, uint8_t* r) {
    for (int x = 0; x < width; ++x) r[x] = grey(x, y);
  });
}

Bytes EncodeWithPixbuf(int width, int height, const std::vector<uint32_t>& argb, const char* type) {
  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  guint8* pixels = gdk_pixbuf_get_pixels(pixbuf);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = argb[static_cast<size_t>(y) * width + x];
      guint8* d = pixels + static_cast<size_t>(y) * stride + 4 * x;
      d[0] = static_cast<guint8>(p >> 16);
      d[1] = static_cast<guint8>(p >> 8);
      d[2] = static_cast<guint8>(p);
      d[3] = static_cast<guint8>(p >> 24);
    }
  }
  gchar* buffer = nullptr;
  gsize size = 0;
  GError* error = nullptr;
  const bool ok = gdk_pixbuf_save_to_buffer(pixbuf, &buffer, &size, type, &error, nullptr);
  g_object_unref(pixbuf);
  if (!ok) {
    const std::string message = error ? error->message : "unknown";
    g_clear_error(&error);
    throw std::runtime_error("gdk-pixbuf could not save " + std::string(type) + ": " + message);
  }
  Bytes out(buffer, buffer + size);
  g_free(buffer);
  return out;
}

}  // namespace ls::test
