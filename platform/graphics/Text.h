#pragma once
// Caption text drawn straight into a bitmap (pango + cairo), at 96 dots per
// inch so that point sizes match those of the Windows platform: 12 points is
// a 16-pixel em.
//
// Text is UTF-8; bytes that are not valid UTF-8 are read as GB18030, the
// code page of most screensaver authors' tools. Font names resolve through
// fontconfig ("Verdana" gives DejaVu Sans here); characters the font lacks
// come from another installed font (Chinese from WenQuanYi Zen Hei).
// A size of 0 points is taken as 12 and a negative size as its magnitude;
// sizes are limited to 2000 points.
//
// Main thread only: the font map and its caches are shared between calls.

#include <cstdint>
#include <string>

#include "platform/graphics/Bitmap.h"

namespace ls {

struct FontSpec {
  std::string name = "Verdana";
  int sizePt = 12;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  uint32_t color = 0xFFFFFF;  // 0x00BBGGRR
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// Width in pixels of one line of text drawn in this font: the sum of the
// characters' advances, as DrawText places them.
int TextWidth(const FontSpec& font, const std::string& text);

// Draws one line of text with its cell's top-left corner at (x, y), in
// font.color, with no background box; cut by the bitmap, never wrapped.
// Glyph edges are blended with what lies beneath; X bytes stay 0.
void DrawText(Bitmap& dst, int x, int y, const FontSpec& font, const std::string& text);

// Number of characters of the text that no installed font can show (drawn as
// boxes). 0 when every character has a glyph.
int MissingGlyphCount(const FontSpec& font, const std::string& text);

}  // namespace ls
