// Build-time painter of the player's built-in pictures. It draws the preview
// picture (PREVIEW_BMP, 152 x 112) and the settings dialog's banner
// (413 x 61) with cairo and pango and writes each as an uncompressed 24-bit
// Windows bitmap, which the build then compiles into the program.
//
//   ls_draw_resources preview OUT.bmp
//   ls_draw_resources banner OUT.bmp

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Bottom-up rows of B, G, R, each row padded to a multiple of 4 bytes.
bool WriteBmp24(cairo_surface_t* surface, const char* path) {
  cairo_surface_flush(surface);
  const int w = cairo_image_surface_get_width(surface);
  const int h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const uint8_t* data = cairo_image_surface_get_data(surface);
  const uint32_t rowBytes = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + imageBytes);
  Put32(out, 0);
  Put32(out, 14 + 40);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(w));
  Put32(out, static_cast<uint32_t>(h));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // BI_RGB: uncompressed
  Put32(out, imageBytes);
  Put32(out, 3780);  // 96 dpi
  Put32(out, 3780);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      out.push_back(row[x] & 0xFF);
      out.push_back((row[x] >> 8) & 0xFF);
      out.push_back((row[x] >> 16) & 0xFF);
    }
    for (uint32_t pad = static_cast<uint32_t>(w) * 3; pad < rowBytes; ++pad) out.push_back(0);
  }
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

void Text(cairo_t* cr, double x, double y, const char* font, const char* text, double r,
          double g, double b, double a = 1.0) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* desc = pango_font_description_from_string(font);
  pango_layout_set_font_description(layout, desc);
  pango_layout_set_text(layout, text, -1);
  cairo_set_source_rgba(cr, r, g, b, a);
  cairo_move_to(cr, x, y);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(desc);
  g_object_unref(layout);
}

// A paper lantern: a glowing halo, a warm ribbed body, dark caps and a cord.
void Lantern(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, 0, cx, cy, ry * 2.2);
  cairo_pattern_add_color_stop_rgba(halo, 0, 1.0, 0.78, 0.35, 0.55);
  cairo_pattern_add_color_stop_rgba(halo, 1, 1.0, 0.6, 0.2, 0.0);
  cairo_set_source(cr, halo);
  cairo_arc(cr, cx, cy, ry * 2.2, 0, 2 * kPi);
  cairo_fill(cr);
  cairo_pattern_destroy(halo);

  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_pattern_t* body = cairo_pattern_create_radial(cx - rx * 0.3, cy - ry * 0.3, 0, cx, cy, ry);
  cairo_pattern_add_color_stop_rgb(body, 0, 1.0, 0.93, 0.62);
  cairo_pattern_add_color_stop_rgb(body, 0.6, 0.98, 0.55, 0.18);
  cairo_pattern_add_color_stop_rgb(body, 1, 0.78, 0.2, 0.08);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);

  // Ribs of the paper.
  cairo_set_line_width(cr, std::max(0.6, rx / 14));
  cairo_set_source_rgba(cr, 0.55, 0.15, 0.05, 0.45);
  for (int i = -2; i <= 2; ++i) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx * std::cos(i * kPi / 7) * (i == 0 ? 0.02 : 1.0), ry);
    cairo_arc(cr, 0, 0, 1, -kPi / 2, kPi / 2);
    cairo_restore(cr);
    cairo_stroke(cr);
  }
  // Caps and cord.
  cairo_set_source_rgb(cr, 0.2, 0.1, 0.08);
  cairo_rectangle(cr, cx - rx * 0.45, cy - ry - ry * 0.14, rx * 0.9, ry * 0.18);
  cairo_rectangle(cr, cx - rx * 0.45, cy + ry - ry * 0.04, rx * 0.9, ry * 0.18);
  cairo_fill(cr);
  cairo_set_line_width(cr, std::max(0.8, rx / 12));
  cairo_move_to(cr, cx, cy - ry - ry * 0.14);
  cairo_line_to(cr, cx, cy - ry * 1.6);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.85, 0.15, 0.1);
  cairo_move_to(cr, cx, cy + ry + ry * 0.14);
  cairo_line_to(cr, cx, cy + ry * 1.55);
  cairo_set_line_width(cr, std::max(1.0, rx / 8));
  cairo_stroke(cr);
}

// A small landscape photograph with a white border, rotated about its centre.
void Slide(cairo_t* cr, double cx, double cy, double w, double h, double angle, double hue) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  // Shadow.
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_rectangle(cr, -w / 2 + 2, -h / 2 + 2, w, h);
  cairo_fill(cr);
  // Border.
  cairo_set_source_rgb(cr, 0.97, 0.96, 0.92);
  cairo_rectangle(cr, -w / 2, -h / 2, w, h);
  cairo_fill(cr);
  const double b = std::max(2.0, w / 16);
  const double iw = w - 2 * b, ih = h - 2 * b;
  const double x0 = -w / 2 + b, y0 = -h / 2 + b;
  cairo_rectangle(cr, x0, y0, iw, ih);
  cairo_clip(cr);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, y0, 0, y0 + ih);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.25 + hue * 0.4, 0.45, 0.85 - hue * 0.3);
  cairo_pattern_add_color_stop_rgb(sky, 1, 1.0, 0.78 - hue * 0.2, 0.55);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  // Sun.
  cairo_set_source_rgb(cr, 1.0, 0.92, 0.55);
  cairo_arc(cr, x0 + iw * 0.7, y0 + ih * 0.38, ih * 0.14, 0, 2 * kPi);
  cairo_fill(cr);
  // Mountains.
  cairo_set_source_rgb(cr, 0.22, 0.32 + hue * 0.2, 0.42);
  cairo_move_to(cr, x0, y0 + ih * 0.78);
  cairo_line_to(cr, x0 + iw * 0.3, y0 + ih * 0.42);
  cairo_line_to(cr, x0 + iw * 0.5, y0 + ih * 0.62);
  cairo_line_to(cr, x0 + iw * 0.72, y0 + ih * 0.48);
  cairo_line_to(cr, x0 + iw, y0 + ih * 0.74);
  cairo_line_to(cr, x0 + iw, y0 + ih);
  cairo_line_to(cr, x0, y0 + ih);
  cairo_close_path(cr);
  cairo_fill(cr);
  // Lake.
  cairo_set_source_rgb(cr, 0.16, 0.36, 0.55);
  cairo_rectangle(cr, x0, y0 + ih * 0.8, iw, ih * 0.2);
  cairo_fill(cr);
  cairo_restore(cr);
}

void NightSky(cairo_t* cr, double w, double h) {
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, w * 0.4, h);
  cairo_pattern_add_color_stop_rgb(sky, 0, 0.05, 0.07, 0.2);
  cairo_pattern_add_color_stop_rgb(sky, 0.65, 0.13, 0.12, 0.32);
  cairo_pattern_add_color_stop_rgb(sky, 1, 0.32, 0.16, 0.3);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);
  // A fixed scatter of stars (a small linear congruential sequence keeps the
  // picture the same on every build).
  uint32_t seed = 20261211u;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / static_cast<double>(1u << 24);
  };
  for (int i = 0; i < static_cast<int>(w * h / 220); ++i) {
    const double x = next() * w, y = next() * h * 0.8, a = 0.35 + next() * 0.6;
    cairo_set_source_rgba(cr, 1, 1, 0.9, a);
    cairo_rectangle(cr, std::floor(x), std::floor(y), 1, 1);
    cairo_fill(cr);
  }
}

void DrawPreview(cairo_t* cr) {
  const double w = 152, h = 112;
  NightSky(cr, w, h);
  Slide(cr, 88, 46, 78, 58, 0.08, 0.8);
  Slide(cr, 70, 50, 84, 62, -0.06, 0.0);
  Lantern(cr, 22, 40, 11, 14);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* desc = pango_font_description_from_string("DejaVu Sans Bold 13px");
  pango_layout_set_font_description(layout, desc);
  pango_layout_set_text(layout, "lanternslide", -1);
  int tw = 0, th = 0;
  pango_layout_get_pixel_size(layout, &tw, &th);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
  cairo_move_to(cr, (w - tw) / 2 + 1, h - th - 5 + 1);
  pango_cairo_show_layout(cr, layout);
  cairo_set_source_rgb(cr, 1.0, 0.86, 0.5);
  cairo_move_to(cr, (w - tw) / 2, h - th - 5);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(desc);
  g_object_unref(layout);
}

void DrawBanner(cairo_t* cr) {
  const double w = 413, h = 61;
  NightSky(cr, w, h);
  // A warm glow rising from the lower edge.
  cairo_pattern_t* glow = cairo_pattern_create_radial(60, h + 30, 10, 60, h + 30, 160);
  cairo_pattern_add_color_stop_rgba(glow, 0, 1.0, 0.6, 0.25, 0.45);
  cairo_pattern_add_color_stop_rgba(glow, 1, 1.0, 0.6, 0.25, 0.0);
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);

  Lantern(cr, 30, 33, 13, 16);
  Text(cr, 58, 5, "DejaVu Sans Bold 24px", "lanternslide", 0, 0, 0, 0.5);
  Text(cr, 57, 4, "DejaVu Sans Bold 24px", "lanternslide", 1.0, 0.88, 0.55);
  Text(cr, 59, 37, "WenQuanYi Zen Hei, DejaVu Sans 11px", "图片屏幕保护程序 · picture screensaver",
       0.85, 0.85, 0.95, 0.9);
  Slide(cr, 300, 31, 52, 38, -0.12, 0.0);
  Slide(cr, 345, 29, 52, 38, 0.05, 0.6);
  Slide(cr, 388, 32, 48, 36, 0.14, 1.0);
  // A thin gold rule along the bottom.
  cairo_set_source_rgba(cr, 1.0, 0.8, 0.4, 0.8);
  cairo_rectangle(cr, 0, h - 2, w, 2);
  cairo_fill(cr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || (std::strcmp(argv[1], "preview") != 0 && std::strcmp(argv[1], "banner") != 0)) {
    std::fprintf(stderr, "usage: %s preview|banner OUT.bmp\n", argv[0]);
    return 2;
  }
  const bool preview = std::strcmp(argv[1], "preview") == 0;
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, preview ? 152 : 413, preview ? 112 : 61);
  cairo_t* cr = cairo_create(surface);
  if (preview)
    DrawPreview(cr);
  else
    DrawBanner(cr);
  cairo_destroy(cr);
  const bool ok = WriteBmp24(surface, argv[2]);
  cairo_surface_destroy(surface);
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
