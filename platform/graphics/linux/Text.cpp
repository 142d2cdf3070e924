// Caption text with pango and cairo, drawn into the bitmap's own memory.

#include "platform/graphics/Text.h"

#include <algorithm>
#include <cstdlib>

#include <cairo.h>
#include <glib.h>
#include <pango/pangocairo.h>

namespace ls {

namespace {

constexpr int kDefaultSizePt = 12;
constexpr int kMaxSizePt = 2000;

// One font map and context for the life of the process: font look-ups and
// glyph caches are then paid once, not once per slide.
struct TextEngine {
  PangoFontMap* fontMap = nullptr;
  PangoContext* context = nullptr;

  TextEngine() {
    fontMap = pango_cairo_font_map_new();
    // Points at 96 dots per inch, as the platform measures them.
    pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(fontMap), 96.0);
    context = pango_font_map_create_context(fontMap);
    cairo_font_options_t* options = cairo_font_options_create();
    // Grey edges only: coloured sub-pixel fringes would not match a 24-bit
    // picture seen at any size.
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    // Whole-pixel advances, so that widths add up as the drawing places them.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
  }
};

TextEngine& Engine() {
  // Kept to the end of the process: fonts may be needed until then.
  static TextEngine* engine = new TextEngine;
  return *engine;
}

// Captions are one C string: text ends at a NUL. Bytes that are not UTF-8
// come from the authors' Chinese code page.
std::string DisplayText(const std::string& raw) {
  const std::string text = raw.substr(0, raw.find('\0'));
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
  gsize written = 0;
  GError* error = nullptr;
  gchar* converted = g_convert(text.data(), static_cast<gssize>(text.size()), "UTF-8", "GB18030",
                               nullptr, &written, &error);
  g_clear_error(&error);
  if (!converted) converted = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string result(converted);
  g_free(converted);
  return result;
}

int SizeInPoints(int sizePt) {
  if (sizePt == 0) return kDefaultSizePt;
  return std::min(std::abs(sizePt), kMaxSizePt);
}

// A one-line layout of the text in the font; the caller unrefs it.
PangoLayout* MakeLayout(const FontSpec& font, const std::string& text) {
  PangoLayout* layout = pango_layout_new(Engine().context);
  PangoFontDescription* desc = pango_font_description_new();
  // Font names come from the same settings files as the captions.
  const std::string family = DisplayText(font.name);
  pango_font_description_set_family(desc, family.empty() ? "Sans" : family.c_str());
  pango_font_description_set_size(desc, SizeInPoints(font.sizePt) * PANGO_SCALE);
  pango_font_description_set_weight(desc, font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(desc, font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);

  PangoAttrList* attrs = pango_attr_list_new();
  if (font.underline) {
    // The single-line kind: one straight line under runs of mixed fonts.
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE_LINE));
  }
  if (font.strikeOut) pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);

  // Line breaks are drawn as characters of the one line, never wrapped.
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  const std::string utf8 = DisplayText(text);
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  return layout;
}

}  // namespace

int TextWidth(const FontSpec& font, const std::string& text) {
  if (text.empty()) return 0;
  PangoLayout* layout = MakeLayout(font, text);
  int width = 0;
  pango_layout_get_pixel_size(layout, &width, nullptr);
  g_object_unref(layout);
  return width;
}

int MissingGlyphCount(const FontSpec& font, const std::string& text) {
  if (text.empty()) return 0;
  PangoLayout* layout = MakeLayout(font, text);
  const int count = pango_layout_get_unknown_glyphs_count(layout);
  g_object_unref(layout);
  return count;
}

void DrawText(Bitmap& dst, int x, int y, const FontSpec& font, const std::string& text) {
  if (dst.IsEmpty() || text.empty()) return;
  PangoLayout* layout = MakeLayout(font, text);
  // The pixels the text can touch: its ink and its cell, with a pixel of
  // blending to spare. 64-bit sums: the position comes from settings and may
  // be anywhere.
  PangoRectangle ink;
  PangoRectangle logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  const int64_t left = int64_t{x} + std::min(ink.x, logical.x) - 2;
  const int64_t top = int64_t{y} + std::min(ink.y, logical.y) - 2;
  const int64_t right = int64_t{x} + std::max(ink.x + ink.width, logical.x + logical.width) + 2;
  const int64_t bottom = int64_t{y} + std::max(ink.y + ink.height, logical.y + logical.height) + 2;
  const Rect touched{static_cast<int>(std::clamp<int64_t>(left, 0, dst.Width())),
                     static_cast<int>(std::clamp<int64_t>(top, 0, dst.Height())),
                     static_cast<int>(std::clamp<int64_t>(right, 0, dst.Width())),
                     static_cast<int>(std::clamp<int64_t>(bottom, 0, dst.Height()))};
  // Text wholly outside is not drawn at all (cairo's coordinates would
  // overflow far away).
  cairo_surface_t* surface = nullptr;
  if (!touched.IsEmpty()) {
    surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(dst.Data()),
                                                  CAIRO_FORMAT_RGB24, dst.Width(), dst.Height(),
                                                  static_cast<int>(dst.StrideBytes()));
  }
  if (surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
    cairo_t* cr = cairo_create(surface);
    const uint32_t c = font.color;
    cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                         ((c >> 16) & 0xFF) / 255.0);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    // cairo sets the fourth byte of the pixels it writes; ours stays 0.
    for (int row = touched.top; row < touched.bottom; ++row) {
      Pixel* p = dst.Row(row);
      for (int col = touched.left; col < touched.right; ++col) p[col] &= 0x00FFFFFFu;
    }
  }
  if (surface) cairo_surface_destroy(surface);
  g_object_unref(layout);
}

}  // namespace ls
