#include "platform/graphics/Png.h"

#include <cairo.h>

#include <memory>

namespace ls {

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

// A cairo RGB24 surface over the bitmap's own pixels: the same layout, and
// cairo_format_stride_for_width gives exactly 4 bytes a pixel for RGB24.
SurfacePtr WrapBitmap(Bitmap& bitmap) {
  const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, bitmap.Width());
  if (stride != static_cast<int>(bitmap.StrideBytes())) return nullptr;
  SurfacePtr s(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(bitmap.Data()),
                                                   CAIRO_FORMAT_RGB24, bitmap.Width(),
                                                   bitmap.Height(), stride));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

}  // namespace

bool WritePng(const Bitmap& bitmap, const std::string& path) {
  if (bitmap.IsEmpty()) return false;  // PNG has no empty image
  // cairo only reads the pixels here; the copy keeps the caller's bitmap
  // const without casting it away.
  Bitmap copy = bitmap;
  SurfacePtr surface = WrapBitmap(copy);
  if (!surface) return false;
  return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

std::optional<Bitmap> ReadPng(const std::string& path) {
  SurfacePtr png(cairo_image_surface_create_from_png(path.c_str()));
  if (cairo_surface_status(png.get()) != CAIRO_STATUS_SUCCESS) return std::nullopt;
  const int width = cairo_image_surface_get_width(png.get());
  const int height = cairo_image_surface_get_height(png.get());
  if (width <= 0 || height <= 0) return std::nullopt;
  Bitmap bitmap(width, height);
  SurfacePtr target = WrapBitmap(bitmap);
  if (!target) return std::nullopt;
  // Painting with SOURCE converts any format to RGB24; a picture with
  // transparency comes out as it would look over black.
  ContextPtr cr(cairo_create(target.get()));
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr.get(), png.get(), 0, 0);
  cairo_paint(cr.get());
  const bool ok = cairo_status(cr.get()) == CAIRO_STATUS_SUCCESS;
  cr.reset();
  cairo_surface_flush(target.get());
  target.reset();
  if (!ok) return std::nullopt;
  // cairo leaves the fourth byte undefined; ours is always 0.
  Pixel* p = bitmap.Data();
  const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < n; ++i) p[i] &= 0x00FFFFFFu;
  return bitmap;
}

}  // namespace ls
