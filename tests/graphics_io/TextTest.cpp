// Caption text: size at 96 dots per inch, colour, styles, placement, fonts
// for Chinese, X bytes.

#include "platform/graphics/Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace ls {
namespace {

// The box holding every pixel that differs from `background`; empty when
// none does.
Rect InkBox(const Bitmap& b, Pixel background = 0) {
  Rect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      if (b.At(x, y) == background) continue;
      box.left = std::min(box.left, x);
      box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1);
      box.bottom = std::max(box.bottom, y + 1);
    }
  }
  return box.IsEmpty() ? Rect{} : box;
}

int CountPixels(const Bitmap& b, Pixel colour) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) n += b.At(x, y) == colour;
  }
  return n;
}

Bitmap Drawn(const FontSpec& font, const std::string& text, int w = 300, int h = 80, int x = 10,
             int y = 10) {
  Bitmap b(w, h);
  DrawText(b, x, y, font, text);
  return b;
}

FontSpec Font(uint32_t colorRef = 0xFFFFFF, int sizePt = 12) {
  FontSpec f;
  f.name = "Verdana";
  f.sizePt = sizePt;
  f.color = colorRef;
  return f;
}

TEST(CaptionText, ColourIsBgrColorRefAndXBytesStayZero) {
  // 0x00BBGGRR: 0x0000FF is red, 0xFF0000 blue.
  const std::pair<uint32_t, Pixel> cases[] = {
      {0x0000FF, 0xFF0000}, {0x00FF00, 0x00FF00}, {0xFF0000, 0x0000FF}, {0xFFFFFF, 0xFFFFFF}};
  for (const auto& [colorRef, pixel] : cases) {
    const Bitmap b = Drawn(Font(colorRef, 20), "Hello Il|");
    // Full-coverage pixels are exactly the colour; edges are the colour
    // scaled towards the black beneath, never another hue.
    EXPECT_GT(CountPixels(b, pixel), 20) << std::hex << colorRef;
    for (int y = 0; y < b.Height(); ++y) {
      for (int x = 0; x < b.Width(); ++x) {
        const Pixel p = b.At(x, y);
        ASSERT_EQ(p >> 24, 0u) << "X byte at " << x << "," << y;
        ASSERT_EQ(p & ~pixel, 0u) << std::hex << "stray channel " << p << " for " << pixel;
      }
    }
  }
}

TEST(CaptionText, PointsAreMeasuredAt96DotsPerInch) {
  // A capital H is about 0.73 em high: 12 pt = 16 px em gives 11 or 12 rows.
  const std::pair<int, std::pair<int, int>> cases[] = {
      {12, {10, 13}}, {24, {21, 25}}, {48, {43, 48}}};
  for (const auto& [size, range] : cases) {
    const Rect ink = InkBox(Drawn(Font(0xFFFFFF, size), "H", 200, 120));
    EXPECT_GE(ink.Height(), range.first) << size << " pt";
    EXPECT_LE(ink.Height(), range.second) << size << " pt";
  }
  const int w12 = TextWidth(Font(0xFFFFFF, 12), "Lantern slide show");
  const int w24 = TextWidth(Font(0xFFFFFF, 24), "Lantern slide show");
  EXPECT_GT(w12, 80);
  EXPECT_NEAR(w24, 2 * w12, 6);
}

TEST(CaptionText, CellTopLeftIsThePosition) {
  const FontSpec f = Font(0xFFFFFF, 16);
  const Bitmap a = Drawn(f, "Hg", 200, 80, 0, 0);
  const Bitmap b = Drawn(f, "Hg", 200, 80, 17, 9);
  const Rect ia = InkBox(a);
  const Rect ib = InkBox(b);
  EXPECT_EQ(ib, ia.Offset(17, 9));
  for (int y = 0; y + 9 < 80; ++y) {
    for (int x = 0; x + 17 < 200; ++x) ASSERT_EQ(b.At(x + 17, y + 9), a.At(x, y));
  }
  // The cell's top holds the ascent: a capital starts a few rows below it,
  // and the ink stays inside the measured width.
  EXPECT_GE(ia.top, 1);
  EXPECT_LE(ia.top, 8);
  EXPECT_GE(ia.left, 0);
  EXPECT_LE(ia.right, TextWidth(f, "Hg") + 1);
}

TEST(CaptionText, NoBackgroundBox) {
  Bitmap b(200, 60);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) b.Set(x, y, 0x336699);
  }
  DrawText(b, 5, 5, Font(0xFFFFFF, 14), "a b");
  // Between and around the letters the picture shows through.
  EXPECT_EQ(b.At(5, 5), 0x336699u);
  EXPECT_GT(CountPixels(b, 0x336699), 200 * 60 - 400);
  EXPECT_GT(CountPixels(b, 0xFFFFFF), 5);
}

struct StyleCase {
  const char* name;
  void (*apply)(FontSpec&);
};

TEST(CaptionText, EachStyleChangesTheDrawing) {
  const StyleCase cases[] = {
      {"bold", [](FontSpec& f) { f.bold = true; }},
      {"italic", [](FontSpec& f) { f.italic = true; }},
      {"underline", [](FontSpec& f) { f.underline = true; }},
      {"strikeOut", [](FontSpec& f) { f.strikeOut = true; }},
  };
  const Bitmap plain = Drawn(Font(), "Caption text");
  for (const StyleCase& c : cases) {
    FontSpec f = Font();
    c.apply(f);
    EXPECT_FALSE(Drawn(f, "Caption text") == plain) << c.name;
  }
  FontSpec bold = Font();
  bold.bold = true;
  EXPECT_GT(TextWidth(bold, "Caption text"), TextWidth(Font(), "Caption text"));
}

// The longest run of lit pixels in one row, over all rows of [top, bottom).
int LongestRowRun(const Bitmap& b, int top, int bottom, int* rowOut = nullptr) {
  int best = 0;
  for (int y = top; y < bottom; ++y) {
    int run = 0;
    for (int x = 0; x < b.Width(); ++x) {
      run = b.At(x, y) != 0 ? run + 1 : 0;
      if (run > best) {
        best = run;
        if (rowOut) *rowOut = y;
      }
    }
  }
  return best;
}

TEST(CaptionText, UnderlineAndStrikeOutAreLinesAcrossTheText) {
  const std::string text = "i i i i i i i i";  // no long horizontal strokes of its own
  FontSpec f = Font(0xFFFFFF, 16);
  const int width = TextWidth(f, text);
  const Bitmap plain = Drawn(f, text, 300, 80, 10, 10);
  const Rect ink = InkBox(plain);
  EXPECT_LT(LongestRowRun(plain, 0, 80), width / 4);

  f.underline = true;
  int row = 0;
  const Bitmap under = Drawn(f, text, 300, 80, 10, 10);
  EXPECT_GE(LongestRowRun(under, 0, 80, &row), width * 9 / 10);
  EXPECT_GE(row, ink.bottom - 2) << "underline below the baseline";

  f.underline = false;
  f.strikeOut = true;
  const Bitmap struck = Drawn(f, text, 300, 80, 10, 10);
  EXPECT_GE(LongestRowRun(struck, 0, 80, &row), width * 9 / 10);
  EXPECT_GT(row, ink.top + 2);
  EXPECT_LT(row, ink.bottom - 2) << "strike-out through the letters";
}

TEST(CaptionText, VerdanaResolvesToAnInstalledSans) {
  FontSpec dejavu = Font();
  dejavu.name = "DejaVu Sans";
  const std::string text = "The quick brown fox 0123";
  EXPECT_EQ(TextWidth(Font(), text), TextWidth(dejavu, text));
  EXPECT_TRUE(Drawn(Font(), text) == Drawn(dejavu, text));
}

TEST(CaptionText, ChineseHasGlyphsAndIsDrawn) {
  const std::string chinese = "\xE5\xB1\x8F\xE5\xB9\x95\xE4\xBF\x9D\xE6\x8A\xA4";  // 屏幕保护
  EXPECT_EQ(MissingGlyphCount(Font(), chinese), 0);
  // An unassigned code point has no glyph anywhere: the count can fail.
  EXPECT_GE(MissingGlyphCount(Font(), "a\xCD\xB8"), 1);  // U+0378

  const Bitmap b = Drawn(Font(0x00FFFF, 16), chinese);  // yellow
  EXPECT_GT(CountPixels(b, 0xFFFF00), 30);
  // Four square characters: each about one em (21 px at 16 pt) wide.
  EXPECT_NEAR(TextWidth(Font(0x00FFFF, 16), chinese), 4 * 21, 8);
}

TEST(CaptionText, InvalidUtf8IsReadAsGb18030) {
  const std::string gbk = "\xC6\xC1\xC4\xBB";             // 屏幕 in GB18030
  const std::string utf8 = "\xE5\xB1\x8F\xE5\xB9\x95";     // 屏幕 in UTF-8
  EXPECT_EQ(TextWidth(Font(), gbk), TextWidth(Font(), utf8));
  EXPECT_TRUE(Drawn(Font(), gbk) == Drawn(Font(), utf8));
}

TEST(CaptionText, UnknownAndChineseFontNamesFallBack) {
  // "SimSun" in GB18030 bytes and in UTF-8: not installed here, so the
  // default face draws, Chinese included.
  const std::string chinese = "\xE5\xB1\x8F\xE5\xB9\x95";
  for (const char* name : {"\xCB\xCE\xCC\xE5", "\xE5\xAE\x8B\xE4\xBD\x93", "No Such Font"}) {
    FontSpec f = Font();
    f.name = name;
    EXPECT_EQ(MissingGlyphCount(f, chinese), 0) << name;
    EXPECT_GT(TextWidth(f, "Caption"), 30) << name;
  }
}

TEST(CaptionText, CutByTheBitmapWherePlaced) {
  const FontSpec f = Font(0xFFFFFF, 20);
  const std::pair<int, int> places[] = {{-15, -12}, {180, 40}, {-1000, 5}, {INT_MAX - 5, 0},
                                        {0, INT_MIN + 3}, {5, 5}};
  for (const auto& [x, y] : places) {
    Bitmap b = Drawn(f, "Clipped caption", 200, 50, x, y);
    for (int yy = 0; yy < 50; ++yy) {
      for (int xx = 0; xx < 200; ++xx) ASSERT_EQ(b.At(xx, yy) >> 24, 0u);
    }
  }
  // Partly inside: the visible part is drawn.
  EXPECT_GT(CountPixels(Drawn(f, "Clipped caption", 200, 50, -15, -12), 0xFFFFFF), 10);
  EXPECT_EQ(CountPixels(Drawn(f, "Clipped caption", 200, 50, -1000, 5), 0), 200 * 50);
}

TEST(CaptionText, EmptyTextAndSizes) {
  EXPECT_EQ(TextWidth(Font(), ""), 0);
  EXPECT_EQ(CountPixels(Drawn(Font(), ""), 0), 300 * 80);
  // Size 0 is the default 12 points; a negative size its magnitude.
  EXPECT_EQ(TextWidth(Font(0xFFFFFF, 0), "Size"), TextWidth(Font(0xFFFFFF, 12), "Size"));
  EXPECT_EQ(TextWidth(Font(0xFFFFFF, -20), "Size"), TextWidth(Font(0xFFFFFF, 20), "Size"));
}

}  // namespace
}  // namespace ls
