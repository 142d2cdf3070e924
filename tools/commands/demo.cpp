// lanternslide-tool demo-media OUTDIR: draws and synthesises the media of the
// demo screensaver (pictures with English and Chinese captions, a splash, a
// tiled background, two short melodies, one picture sound, a preview, a
// banner and a readme) and writes OUTDIR/demo.ini for `pack`.
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tools/Command.h"

namespace ls::tool {
namespace {

namespace fs = std::filesystem;
constexpr double kPi = 3.14159265358979323846;

// A cairo image to draw a picture on (RGB24: bytes B, G, R, X, as libjpeg's
// JCS_EXT_BGRX reads them).
class Canvas {
 public:
  Canvas(int w, int h)
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h)), cr_(cairo_create(surface_)) {}
  ~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  cairo_t* cr() { return cr_; }
  int Width() const { return cairo_image_surface_get_width(surface_); }
  int Height() const { return cairo_image_surface_get_height(surface_); }

  bool WriteJpeg(const std::string& path, int quality = 90) {
    cairo_surface_flush(surface_);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = Width();
    cinfo.image_height = Height();
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    while (cinfo.next_scanline < cinfo.image_height) {
      JSAMPROW row = data + static_cast<size_t>(cinfo.next_scanline) * stride;
      jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
  }

  // A 24-bit bottom-up Windows bitmap.
  bool WriteBmp(const std::string& path) {
    cairo_surface_flush(surface_);
    const int w = Width(), h = Height();
    const int rowBytes = (w * 3 + 3) & ~3;
    const uint32_t dataSize = static_cast<uint32_t>(rowBytes) * h;
    std::string out;
    auto u16 = [&](uint16_t v) { out.push_back(char(v & 255)); out.push_back(char(v >> 8)); };
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 255)); };
    out += "BM";
    u32(54 + dataSize); u16(0); u16(0); u32(54);
    u32(40); u32(w); u32(h); u16(1); u16(24); u32(0); u32(dataSize); u32(3780); u32(3780); u32(0); u32(0);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = h - 1; y >= 0; --y) {
      const unsigned char* p = data + static_cast<size_t>(y) * stride;
      for (int x = 0; x < w; ++x) out.append(reinterpret_cast<const char*>(p + 4 * x), 3);
      out.append(rowBytes - w * 3, '\0');
    }
    std::ofstream f(path, std::ios::binary);
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(f);
  }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

void Rgb(cairo_t* cr, uint32_t rgb, double a = 1.0) {
  cairo_set_source_rgba(cr, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0,
                        (rgb & 255) / 255.0, a);
}

void VerticalGradient(cairo_t* cr, double y0, double y1, double w, std::vector<std::pair<double, uint32_t>> stops) {
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y0, 0, y1);
  for (auto [at, rgb] : stops)
    cairo_pattern_add_color_stop_rgb(g, at, ((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0,
                                     (rgb & 255) / 255.0);
  cairo_rectangle(cr, 0, y0, w, y1 - y0);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

void Glow(cairo_t* cr, double x, double y, double r, uint32_t rgb, double alpha) {
  cairo_pattern_t* g = cairo_pattern_create_radial(x, y, 0, x, y, r);
  const double R = ((rgb >> 16) & 255) / 255.0, G = ((rgb >> 8) & 255) / 255.0, B = (rgb & 255) / 255.0;
  cairo_pattern_add_color_stop_rgba(g, 0, R, G, B, alpha);
  cairo_pattern_add_color_stop_rgba(g, 1, R, G, B, 0);
  cairo_arc(cr, x, y, r, 0, 2 * kPi);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// One line of text with pango (Chinese falls back to a CJK font).
void Text(cairo_t* cr, const std::string& text, const std::string& font, double x, double y,
          uint32_t rgb, bool centred = false, double outline = 0) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* desc = pango_font_description_from_string(font.c_str());
  pango_layout_set_font_description(layout, desc);
  pango_layout_set_text(layout, text.c_str(), -1);
  int tw = 0, th = 0;
  pango_layout_get_pixel_size(layout, &tw, &th);
  cairo_move_to(cr, centred ? x - tw / 2.0 : x, y);
  if (outline > 0) {
    pango_cairo_layout_path(cr, layout);
    Rgb(cr, 0x000000, 0.6);
    cairo_set_line_width(cr, outline);
    cairo_stroke(cr);
    cairo_move_to(cr, centred ? x - tw / 2.0 : x, y);
  }
  Rgb(cr, rgb);
  pango_cairo_show_layout(cr, layout);
  pango_font_description_free(desc);
  g_object_unref(layout);
}

void DrawLanterns(Canvas& c) {
  cairo_t* cr = c.cr();
  const double w = c.Width(), h = c.Height(), horizon = h * 0.58;
  VerticalGradient(cr, 0, horizon, w, {{0, 0x0b1030}, {0.7, 0x283a78}, {1, 0x6a4c7a}});
  VerticalGradient(cr, horizon, h, w, {{0, 0x2a2650}, {1, 0x070a1c}});
  Glow(cr, w * 0.78, h * 0.18, 90, 0xfff4d0, 0.35);
  Rgb(cr, 0xfff6dc);
  cairo_arc(cr, w * 0.78, h * 0.18, 42, 0, 2 * kPi);
  cairo_fill(cr);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(0, 1);
  for (int i = 0; i < 26; ++i) {
    const double x = u(rng) * w, y = horizon - 40 - u(rng) * (horizon - 120), s = 10 + u(rng) * 22;
    Glow(cr, x, y, s * 3.2, 0xff9a30, 0.45);
    Rgb(cr, 0xffb347);
    cairo_rectangle(cr, x - s / 2, y - s * 0.7, s, s * 1.4);
    cairo_fill(cr);
    Rgb(cr, 0xffe29a);
    cairo_rectangle(cr, x - s / 4, y - s * 0.4, s / 2, s * 0.8);
    cairo_fill(cr);
    // Reflection on the water.
    Glow(cr, x, 2 * horizon - y, s * 2.2, 0xff9a30, 0.18);
  }
  for (int i = 0; i < 40; ++i) {
    Rgb(cr, 0xffffff, 0.08);
    const double y = horizon + 8 + i * (h - horizon) / 40.0;
    cairo_rectangle(cr, u(rng) * w, y, 60 + u(rng) * 200, 2);
    cairo_fill(cr);
  }
}

void DrawMountains(Canvas& c) {
  cairo_t* cr = c.cr();
  const double w = c.Width(), h = c.Height();
  VerticalGradient(cr, 0, h, w, {{0, 0x3b5ba5}, {0.45, 0xf4a261}, {0.7, 0xf6d7a7}, {1, 0xf6d7a7}});
  Glow(cr, w * 0.5, h * 0.62, 220, 0xffe8a0, 0.7);
  const uint32_t layers[] = {0x8c6a8d, 0x6b4f7a, 0x4a3566, 0x2c1f45, 0x1a1330};
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int l = 0; l < 5; ++l) {
    const double base = h * (0.5 + l * 0.1);
    cairo_move_to(cr, 0, h);
    for (int x = 0; x <= 40; ++x) {
      const double px = x * w / 40;
      const double py = base - 80 * std::fabs(std::sin(px / (180.0 + 60 * l) + l)) - 25 * u(rng);
      cairo_line_to(cr, px, py);
    }
    cairo_line_to(cr, w, h);
    cairo_close_path(cr);
    Rgb(cr, layers[l]);
    cairo_fill(cr);
  }
}

void DrawCircles(Canvas& c) {
  cairo_t* cr = c.cr();
  const double w = c.Width(), h = c.Height();
  VerticalGradient(cr, 0, h, w, {{0, 0x0f3d3e}, {1, 0x092327}});
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(0, 1);
  const uint32_t colours[] = {0xe63946, 0xf1c453, 0x2a9d8f, 0xe9c46a, 0xf4a261, 0xa8dadc, 0xff70a6, 0x70d6ff};
  for (int i = 0; i < 70; ++i) {
    const double x = u(rng) * w, y = u(rng) * h, r = 20 + u(rng) * 90;
    Rgb(cr, colours[i % 8], 0.75);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_fill(cr);
    Rgb(cr, 0xffffff, 0.5);
    cairo_set_line_width(cr, 3);
    cairo_arc(cr, x, y, r * 0.6, 0, 2 * kPi);
    cairo_stroke(cr);
  }
}

void DrawStars(Canvas& c) {
  cairo_t* cr = c.cr();
  const double w = c.Width(), h = c.Height();
  VerticalGradient(cr, 0, h, w, {{0, 0x020414}, {1, 0x10183a}});
  for (int band = 0; band < 3; ++band) {
    cairo_move_to(cr, 0, h * (0.3 + band * 0.08));
    for (int x = 0; x <= 32; ++x)
      cairo_line_to(cr, x * w / 32, h * (0.3 + band * 0.08) + 60 * std::sin(x * 0.45 + band));
    Rgb(cr, band == 1 ? 0x6cf0b0 : 0x55c8f0, 0.25);
    cairo_set_line_width(cr, 50 - band * 12);
    cairo_stroke(cr);
  }
  std::mt19937 rng(5);
  std::uniform_real_distribution<double> u(0, 1);
  for (int i = 0; i < 600; ++i) {
    const double r = u(rng) < 0.95 ? 1.2 : 2.8;
    Rgb(cr, 0xffffff, 0.5 + 0.5 * u(rng));
    cairo_arc(cr, u(rng) * w, u(rng) * h * 0.85, r, 0, 2 * kPi);
    cairo_fill(cr);
  }
  Rgb(cr, 0x05060c);
  cairo_move_to(cr, 0, h);
  for (int x = 0; x <= 20; ++x) cairo_line_to(cr, x * w / 20, h * 0.9 - 30 * std::fabs(std::sin(x * 1.3)));
  cairo_line_to(cr, w, h);
  cairo_fill(cr);
}

void DrawSails(Canvas& c) {
  cairo_t* cr = c.cr();
  const double w = c.Width(), h = c.Height();
  VerticalGradient(cr, 0, h * 0.5, w, {{0, 0x7ec8e3}, {1, 0xd9f1fa}});
  VerticalGradient(cr, h * 0.5, h, w, {{0, 0x1d6fa3}, {1, 0x0a3556}});
  for (int row = 0; row < 14; ++row) {
    const double y = h * 0.52 + row * h * 0.035;
    cairo_move_to(cr, 0, y);
    for (int x = 0; x <= 60; ++x) cairo_line_to(cr, x * w / 60, y + 6 * std::sin(x * 0.9 + row));
    Rgb(cr, 0xffffff, 0.25);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
  }
  const double boats[][3] = {{0.25, 0.5, 1.0}, {0.6, 0.47, 0.6}, {0.8, 0.52, 0.8}};
  for (auto& b : boats) {
    const double x = b[0] * w, y = b[1] * h, s = b[2] * 160;
    Rgb(cr, 0x5a3a22);
    cairo_move_to(cr, x - s * 0.7, y);
    cairo_line_to(cr, x + s * 0.7, y);
    cairo_line_to(cr, x + s * 0.5, y + s * 0.2);
    cairo_line_to(cr, x - s * 0.5, y + s * 0.2);
    cairo_fill(cr);
    Rgb(cr, 0xfdfcf5);
    cairo_move_to(cr, x, y - s * 1.3);
    cairo_line_to(cr, x + s * 0.6, y - 5);
    cairo_line_to(cr, x, y - 5);
    cairo_fill(cr);
    Rgb(cr, 0xe63946);
    cairo_move_to(cr, x - 4, y - s * 1.1);
    cairo_line_to(cr, x - s * 0.45, y - 5);
    cairo_line_to(cr, x - 4, y - 5);
    cairo_fill(cr);
  }
  Glow(cr, w * 0.15, h * 0.15, 120, 0xfff8c0, 0.8);
}

void DrawBamboo(Canvas& c) {
  cairo_t* cr = c.cr();
  const double w = c.Width(), h = c.Height();
  VerticalGradient(cr, 0, h, w, {{0, 0xe8f3d6}, {1, 0x9cc58a}});
  std::mt19937 rng(9);
  std::uniform_real_distribution<double> u(0, 1);
  for (int i = 0; i < 22; ++i) {
    const double x = u(rng) * w, sw = 14 + u(rng) * 26, shade = u(rng);
    Rgb(cr, shade < 0.5 ? 0x3f7d3a : 0x2d5e2b, 0.6 + 0.4 * shade);
    cairo_rectangle(cr, x, 0, sw, h);
    cairo_fill(cr);
    for (double y = u(rng) * 120; y < h; y += 110 + u(rng) * 60) {
      Rgb(cr, 0x1e3f1c, 0.9);
      cairo_rectangle(cr, x - 2, y, sw + 4, 5);
      cairo_fill(cr);
      Rgb(cr, 0x4f9a45, 0.8);
      cairo_move_to(cr, x + sw, y);
      cairo_curve_to(cr, x + sw + 40, y - 30, x + sw + 90, y - 10, x + sw + 120, y + 10);
      cairo_curve_to(cr, x + sw + 80, y + 5, x + sw + 40, y + 10, x + sw, y);
      cairo_fill(cr);
    }
  }
}

struct Scene {
  const char* file;
  int width, height;
  std::function<void(Canvas&)> draw;
  const char* caption;
  int captionPosition;
  const char* font;
  int fontSize;
  uint32_t colour;  // 0x00BBGGRR
  bool bold, italic;
  int transition;  // -1 random, else a style number
};

// Synthesised audio: 16-bit mono PCM.
struct Wave {
  static constexpr int kRate = 22050;
  std::vector<float> samples;

  void Note(double start, double length, double freq, double volume, double decay) {
    const size_t from = static_cast<size_t>(start * kRate);
    const size_t count = static_cast<size_t>(length * kRate);
    if (samples.size() < from + count) samples.resize(from + count, 0.f);
    for (size_t i = 0; i < count; ++i) {
      const double t = double(i) / kRate;
      const double env = std::min(1.0, t * 200) * std::exp(-t * decay) * std::min(1.0, (length - t) * 40);
      const double s = std::sin(2 * kPi * freq * t) + 0.35 * std::sin(4 * kPi * freq * t) +
                       0.12 * std::sin(6 * kPi * freq * t);
      samples[from + i] += static_cast<float>(volume * env * s);
    }
  }

  bool Write(const std::string& path) const {
    std::string out;
    auto u16 = [&](uint16_t v) { out.push_back(char(v & 255)); out.push_back(char(v >> 8)); };
    auto u32 = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 255)); };
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    out += "RIFF"; u32(36 + dataBytes); out += "WAVE";
    out += "fmt "; u32(16); u16(1); u16(1); u32(kRate); u32(kRate * 2); u16(2); u16(16);
    out += "data"; u32(dataBytes);
    for (float s : samples) {
      const float c = std::max(-1.f, std::min(1.f, s));
      u16(static_cast<uint16_t>(static_cast<int16_t>(c * 30000)));
    }
    std::ofstream f(path, std::ios::binary);
    f.write(out.data(), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(f);
  }
};

double NoteFreq(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

// A melody on a pentatonic scale with a soft bass, `beats` eighth notes long.
Wave Melody(const std::vector<int>& tune, const std::vector<int>& bass, double beat) {
  Wave w;
  for (size_t i = 0; i < tune.size(); ++i)
    if (tune[i] != 99) w.Note(i * beat, beat * 1.8, NoteFreq(tune[i]), 0.28, 2.5);
  for (size_t i = 0; i < bass.size(); ++i)
    w.Note(i * beat * 4, beat * 4.2, NoteFreq(bass[i] - 24), 0.22, 1.2);
  return w;
}

Wave Chime() {
  Wave w;
  w.Note(0.0, 1.4, NoteFreq(15), 0.35, 3.0);
  w.Note(0.12, 1.3, NoteFreq(19), 0.3, 3.0);
  w.Note(0.24, 1.2, NoteFreq(22), 0.28, 3.0);
  return w;
}

std::string IniLine(const std::string& key, const std::string& value) { return key + "=" + value + "\n"; }

int DemoMedia(const std::vector<std::string>& args) {
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::printf(
        "usage: lanternslide-tool demo-media OUTDIR\n"
        "Draws and synthesises the demo screensaver's media into OUTDIR and writes\n"
        "OUTDIR/demo.ini, the project file for `lanternslide-tool pack`.\n");
    return 0;
  }
  if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
    std::fprintf(stderr, "usage: lanternslide-tool demo-media OUTDIR\n");
    return 2;
  }
  const fs::path out = fs::absolute(args[0]);
  std::error_code ec;
  fs::create_directories(out, ec);
  if (ec) {
    std::fprintf(stderr, "demo-media: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  auto path = [&](const char* name) { return (out / name).string(); };
  bool ok = true;

  const std::vector<Scene> scenes = {
      {"lanterns.jpg", 1600, 1000, DrawLanterns, "Lanterns over the lake · 湖上灯笼", 4, "Verdana", 20, 0x9ae6ff, true, false, 118},
      {"mountains.jpg", 1440, 1080, DrawMountains, "Mountains at dawn · 黎明的群山", 0, "Verdana", 22, 0xffffff, true, false, -1},
      {"garden.jpg", 1600, 900, DrawCircles, "A garden of colours · 色彩花园", 2, "Georgia", 22, 0xa0ffff, false, true, -1},
      {"stars.jpg", 1600, 1000, DrawStars, "Starry night · 星空", 1, "Verdana", 24, 0xffe0c0, true, false, -1},
      {"sails.jpg", 1200, 900, DrawSails, "Sails at sea · 海上的帆", 3, "Verdana", 20, 0xffffff, true, false, -1},
      {"bamboo.jpg", 1600, 1000, DrawBamboo, "Bamboo grove · 竹林", 5, "Verdana", 22, 0x204020, true, true, -1},
  };
  for (const Scene& s : scenes) {
    Canvas c(s.width, s.height);
    s.draw(c);
    ok = c.WriteJpeg(path(s.file)) && ok;
  }

  {  // Splash: the title on a dark field.
    Canvas c(1280, 800);
    DrawLanterns(c);
    Rgb(c.cr(), 0x000000, 0.45);
    cairo_paint(c.cr());
    Text(c.cr(), "lanternslide", "DejaVu Sans Bold 96", 640, 260, 0xffd27a, true, 4);
    Text(c.cr(), "幻灯片屏幕保护 · a picture screensaver", "DejaVu Sans 32", 640, 430, 0xffffff, true, 2);
    ok = c.WriteJpeg(path("splash.jpg")) && ok;
  }
  {  // Background: a small tile, repeated around the pictures.
    Canvas c(64, 64);
    Rgb(c.cr(), 0x141a2e);
    cairo_paint(c.cr());
    Rgb(c.cr(), 0x26304f);
    cairo_arc(c.cr(), 32, 32, 10, 0, 2 * kPi);
    cairo_fill(c.cr());
    Rgb(c.cr(), 0x1d2540);
    cairo_rectangle(c.cr(), 0, 0, 6, 6);
    cairo_fill(c.cr());
    ok = c.WriteBmp(path("background.bmp")) && ok;
  }
  {  // Preview for the display settings' box.
    Canvas c(152, 112);
    cairo_scale(c.cr(), 152.0 / 1600, 112.0 / 1000);
    DrawLanterns(c);
    ok = c.WriteJpeg(path("preview.jpg")) && ok;
  }
  {  // Banner of the settings dialog.
    Canvas c(480, 72);
    VerticalGradient(c.cr(), 0, 72, 480, {{0, 0x283a78}, {1, 0x0b1030}});
    Text(c.cr(), "lanternslide demo · 演示", "DejaVu Sans Bold 26", 240, 14, 0xffd27a, true);
    ok = c.WriteJpeg(path("banner.jpg")) && ok;
  }
  {
    std::ofstream f(path("readme.txt"), std::ios::binary);
    f << "lanternslide demo screensaver\r\n\r\n"
         "Six pictures drawn by the project itself, with captions in English and Chinese,\r\n"
         "two synthesised melodies and a chime.\r\n\r\n"
         "演示屏幕保护程序：六幅图画，中英文标题，两段合成的旋律。\r\n";
    ok = static_cast<bool>(f) && ok;
  }
  // Two melodies on the pentatonic scale (semitones from A4; 99 = rest).
  ok = Melody({-9, -7, -5, -2, 0, -2, -5, -7, -9, 99, -5, -2, 0, 3, 0, -2, -5, -7, -9, -7, -5, 99, -9, 99},
              {-9, -14, -16, -9, -14, -9}, 0.3)
           .Write(path("melody1.wav")) && ok;
  ok = Melody({3, 0, -2, 0, 3, 5, 3, 0, -2, -5, -2, 0, -2, -5, -7, 99, -5, -2, 0, -2, -5, -7, -9, 99},
              {-9, -4, -7, -9, -4, -9}, 0.27)
           .Write(path("melody2.wav")) && ok;
  ok = Chime().Write(path("chime.wav")) && ok;
  if (!ok) {
    std::fprintf(stderr, "demo-media: could not write the media into %s\n", out.c_str());
    return 1;
  }

  std::string ini;
  ini += "[Identify]\n" + IniLine("Id", "lanternslide-demo-1");
  ini += "[CustomizePreviewDlg]\n" + IniLine("PreviewImage", path("preview.jpg"));
  ini += "[CustomizeSettingDlg]\n" + IniLine("BannerFile", path("banner.jpg")) +
         IniLine("TxtFile", path("readme.txt")) + IniLine("ScreensaverName", "lanternslide demo") +
         IniLine("Authos", "The lanternslide authors") + IniLine("Compans", "lanternslide");
  ini += "[Transition]\n" + IniLine("TransitionStep", "2");
  ini += "[ExitOption]\n" + IniLine("ExitOnMouseMove", "1") + IniLine("ExitOnMouseClick", "1") +
         IniLine("ExitOnKeyPress", "1");
  ini += "[Splash]\n" + IniLine("SplashScreenImage", path("splash.jpg")) + IniLine("SplashInterval", "3") +
         IniLine("SplashFadeOut", "1") + IniLine("SplashFullScreen", "1");
  ini += "[Background]\n" + IniLine("BackgroundMod", "2") + IniLine("BackgroundColor", "0") +
         IniLine("BackgroundImage", path("background.bmp")) + IniLine("BackgroundImageMode", "1");
  ini += "[Music]\n" + IniLine("MusicCount", "2") + IniLine("PlayMusicOrder", "1") +
         IniLine("PlayMusicLoop", "1") + IniLine("PlayMusicInterval", "2");
  ini += "[Musics]\n" + IniLine("Music1", path("melody1.wav")) + IniLine("Music2", path("melody2.wav"));
  ini += "[Picture]\n" + IniLine("ImageCount", std::to_string(scenes.size())) +
         IniLine("ShowImageRandomly", "0") + IniLine("ClearOldImage", "0");
  ini += "[Pictures]\n";
  for (size_t i = 0; i < scenes.size(); ++i) {
    const Scene& s = scenes[i];
    const std::string k = "File" + std::to_string(i);
    ini += IniLine(k, path(s.file));
    ini += IniLine(k + "Size", "3");
    ini += IniLine(k + "SceneDuration", "4");
    ini += IniLine(k + "Sound", i == 2 ? path("chime.wav") : "");
    ini += IniLine(k + "ShowCaption", "1");
    ini += IniLine(k + "Caption", s.caption);
    ini += IniLine(k + "CaptionShadow", "1");
    ini += IniLine(k + "CaptionPosition", std::to_string(s.captionPosition));
    ini += IniLine(k + "CaptionX", "10");
    ini += IniLine(k + "CaptionY", "10");
    ini += IniLine(k + "CaptionFontName", s.font);
    ini += IniLine(k + "CaptionFontSize", std::to_string(s.fontSize));
    ini += IniLine(k + "FontColor", std::to_string(s.colour));
    ini += IniLine(k + "FfsBold", s.bold ? "1" : "0");
    ini += IniLine(k + "FfsItalic", s.italic ? "1" : "0");
    ini += IniLine(k + "FfsUnderline", "0");
    ini += IniLine(k + "FfsStrikeOut", "0");
    ini += IniLine(k + "TransitionMode", std::to_string(s.transition));
  }
  std::ofstream f(path("demo.ini"), std::ios::binary);
  f << ini;
  if (!f) {
    std::fprintf(stderr, "demo-media: could not write %s\n", path("demo.ini").c_str());
    return 1;
  }
  std::printf("%s\n", path("demo.ini").c_str());
  return 0;
}

}  // namespace

LS_TOOL_COMMAND(demo_media, "demo-media", "draw and synthesise the demo screensaver's media and project file",
                DemoMedia);

}  // namespace ls::tool
