#pragma once
// Caption text drawn straight into a bitmap (pango + cairo), at 96 dots per
// inch so that point sizes match those of the Windows platform.

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

// Width in pixels of one line of text (UTF-8) drawn in this font.
int TextWidth(const FontSpec& font, const std::string& text);

// Draws one line of text with its cell's top-left corner at (x, y), in
// font.color, with no background box; cut by the bitmap, never wrapped.
void DrawText(Bitmap& dst, int x, int y, const FontSpec& font, const std::string& text);

}  // namespace ls
