// Caption text with GDI: runs of the caption's font, with the characters it
// lacks taken from installed faces that have them, drawn into a DIB section
// that holds a copy of the pixels beneath, so that the glyphs' smoothed edges
// blend with the picture.

#include "platform/graphics/Text.h"

#include <windows.h>
// windows.h names DrawText as a macro for its own function.
#undef DrawText

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <vector>

#include "platform/files/Encoding.h"
#include "platform/files/win32/WideText.h"

namespace ls {

namespace {

constexpr int kDefaultSizePt = 12;
constexpr int kMaxSizePt = 2000;

// Faces tried in this order for characters that the caption's font lacks:
// those of the system for Chinese, Japanese and Korean, then faces with wide
// coverage (the last ones are found where Windows programs run on other
// systems).
const wchar_t* const kFallbackFaces[] = {
    L"Microsoft YaHei", L"SimSun",         L"SimHei",           L"Microsoft JhengHei",
    L"MingLiU",         L"MS Gothic",      L"Malgun Gothic",    L"Gulim",
    L"Arial Unicode MS", L"Segoe UI Symbol", L"WenQuanYi Zen Hei", L"Noto Sans CJK SC",
    L"Droid Sans Fallback", L"DejaVu Sans",
};

constexpr WORD kNoGlyph = 0xFFFF;

int SizeInPoints(int sizePt) {
  if (sizePt == 0) return kDefaultSizePt;
  return std::min(std::abs(sizePt), kMaxSizePt);
}

// Captions are one C string: text ends at a NUL.
std::wstring DisplayText(const std::string& raw) {
  return Widen(ToDisplayText(raw.substr(0, raw.find('\0'))));
}

bool IsHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A memory device context with a font selected in turn.
class Dc {
 public:
  Dc() : dc_(CreateCompatibleDC(nullptr)) {}
  ~Dc() {
    if (dc_) DeleteDC(dc_);
  }
  Dc(const Dc&) = delete;
  Dc& operator=(const Dc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

struct Face {
  HFONT font = nullptr;
  int ascent = 0;
  int descent = 0;
};

// One line of text laid out in the caption's font and its fallbacks: runs of
// characters of one face each, placed side by side on one baseline.
class Layout {
 public:
  Layout(HDC dc, const FontSpec& style, const std::string& text) : dc_(dc) {
    text_ = DisplayText(text);
    LOGFONTW base{};
    // 96 dots per inch, as the platform measures points: 12 pt = 16 pixels.
    base.lfHeight = -MulDiv(SizeInPoints(style.sizePt), 96, 72);
    base.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    base.lfItalic = style.italic;
    base.lfCharSet = DEFAULT_CHARSET;
    base.lfOutPrecision = OUT_TT_PRECIS;
    // Grey edges only: coloured sub-pixel fringes would not match a 24-bit
    // picture seen at any size.
    base.lfQuality = ANTIALIASED_QUALITY;
    base_ = base;
    // Font names come from the same settings files as the captions.
    const std::wstring name = DisplayText(style.name);
    wcsncpy(base.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    AddFace(base);
    if (!dc_ || faces_.empty() || text_.empty()) return;
    Assign();
    Measure();
  }

  ~Layout() {
    for (const Face& f : faces_) DeleteObject(f.font);
  }
  Layout(const Layout&) = delete;
  Layout& operator=(const Layout&) = delete;

  int Width() const { return width_; }
  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  int Missing() const { return missing_; }
  HFONT PrimaryFont() const { return faces_.empty() ? nullptr : faces_[0].font; }

  // Draws the runs with the baseline at `baseline`, the first run at `x`.
  void Draw(HDC dc, int x, int baseline) const {
    for (const Run& run : runs_) {
      SelectObject(dc, faces_[run.face].font);
      ExtTextOutW(dc, x + run.x, baseline, 0, nullptr, text_.data() + run.start,
                  static_cast<UINT>(run.length), nullptr);
    }
  }

 private:
  struct Run {
    size_t face;
    size_t start;
    size_t length;
    int x;
  };

  // Creates a face; a fallback only counts when the system has it itself
  // (an absent face is silently replaced by another).
  bool AddFace(const LOGFONTW& lf, bool mustMatch = false) {
    HFONT font = CreateFontIndirectW(&lf);
    if (!font) return false;
    SelectObject(dc_, font);
    if (mustMatch) {
      wchar_t actual[LF_FACESIZE] = {};
      GetTextFaceW(dc_, LF_FACESIZE, actual);
      if (_wcsicmp(actual, lf.lfFaceName) != 0) {
        SelectObject(dc_, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
        return false;
      }
    }
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc_, &metrics);
    faces_.push_back({font, metrics.tmAscent, metrics.tmDescent});
    return true;
  }

  // Glyph presence of the whole text in the face last selected.
  std::vector<WORD> Glyphs() const {
    std::vector<WORD> glyphs(text_.size(), kNoGlyph);
    GetGlyphIndicesW(dc_, text_.c_str(), static_cast<int>(text_.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    return glyphs;
  }

  // Chooses the face of every character: the caption's own where it has the
  // glyph, else the first fallback that has it.
  void Assign() {
    constexpr size_t kUnassigned = SIZE_MAX;
    owner_.assign(text_.size(), kUnassigned);
    SelectObject(dc_, faces_[0].font);
    std::vector<WORD> glyphs = Glyphs();
    size_t open = 0;
    for (size_t i = 0; i < text_.size(); ++i) {
      // Control characters have no glyph anywhere; they are the line's own.
      if (glyphs[i] != kNoGlyph || text_[i] < 0x20) {
        owner_[i] = 0;
      } else {
        ++open;
      }
    }
    for (const wchar_t* face : kFallbackFaces) {
      if (open == 0) break;
      LOGFONTW lf = base_;
      wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
      if (!AddFace(lf, true)) continue;
      glyphs = Glyphs();
      bool used = false;
      for (size_t i = 0; i < text_.size(); ++i) {
        if (owner_[i] == kUnassigned && glyphs[i] != kNoGlyph) {
          owner_[i] = faces_.size() - 1;
          --open;
          used = true;
        }
      }
      if (!used) {
        DeleteObject(faces_.back().font);
        faces_.pop_back();
      }
    }
    // What no face has is drawn by the caption's font (as a box). A
    // surrogate pair is one character.
    for (size_t i = 0; i < text_.size(); ++i) {
      if (owner_[i] != kUnassigned) continue;
      owner_[i] = 0;
      if (!(IsLowSurrogate(text_[i]) && i > 0 && IsHighSurrogate(text_[i - 1]))) ++missing_;
    }
  }

  void Measure() {
    int x = 0;
    std::vector<bool> used(faces_.size(), false);
    for (size_t start = 0; start < text_.size();) {
      size_t end = start + 1;
      while (end < text_.size() && owner_[end] == owner_[start]) ++end;
      const size_t face = owner_[start];
      SelectObject(dc_, faces_[face].font);
      SIZE size{};
      GetTextExtentPoint32W(dc_, text_.data() + start, static_cast<int>(end - start), &size);
      runs_.push_back({face, start, end - start, x});
      x += size.cx;
      used[face] = true;
      start = end;
    }
    width_ = x;
    // The line is as tall as the tallest face in it.
    for (size_t i = 0; i < faces_.size(); ++i) {
      if (i != 0 && !used[i]) continue;
      ascent_ = std::max(ascent_, faces_[i].ascent);
      descent_ = std::max(descent_, faces_[i].descent);
    }
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
  }

  HDC dc_;
  LOGFONTW base_{};
  std::wstring text_;
  std::vector<Face> faces_;
  std::vector<size_t> owner_;
  std::vector<Run> runs_;
  int width_ = 0;
  int ascent_ = 0;
  int descent_ = 0;
  int missing_ = 0;
};

// A straight line under or through the whole caption, of the caption font's
// own position and thickness (one line across runs of mixed faces).
struct Line {
  int offset;  // from the baseline, downwards
  int thickness;
};

void DecorationLines(HDC dc, HFONT font, const FontSpec& style, int ascent,
                     std::vector<Line>& lines) {
  SelectObject(dc, font);
  Line under{std::max(1, ascent / 8), std::max(1, ascent / 14)};
  Line strike{-ascent / 3, under.thickness};
  const UINT bytes = GetOutlineTextMetricsW(dc, 0, nullptr);
  if (bytes >= sizeof(OUTLINETEXTMETRICW)) {
    std::vector<BYTE> buffer(bytes);
    auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
    if (GetOutlineTextMetricsW(dc, bytes, otm)) {
      under = {-otm->otmsUnderscorePosition, std::max(1, static_cast<int>(otm->otmsUnderscoreSize))};
      strike = {-otm->otmsStrikeoutPosition, std::max(1, static_cast<int>(otm->otmsStrikeoutSize))};
    }
  }
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  if (style.underline) lines.push_back(under);
  if (style.strikeOut) lines.push_back(strike);
}

}  // namespace

int TextWidth(const FontSpec& font, const std::string& text) {
  if (text.empty()) return 0;
  Dc dc;
  return Layout(dc.Get(), font, text).Width();
}

int MissingGlyphCount(const FontSpec& font, const std::string& text) {
  if (text.empty()) return 0;
  Dc dc;
  return Layout(dc.Get(), font, text).Missing();
}

void DrawText(Bitmap& dst, int x, int y, const FontSpec& font, const std::string& text) {
  if (dst.IsEmpty() || text.empty()) return;
  Dc dc;
  if (!dc.Get()) return;
  const Layout layout(dc.Get(), font, text);
  if (layout.Width() == 0) return;
  std::vector<Line> lines;
  DecorationLines(dc.Get(), layout.PrimaryFont(), font, layout.Ascent(), lines);

  // The pixels the text can touch: its cell, with room for slanted and
  // overhanging glyphs. 64-bit sums: the position comes from settings and
  // may be anywhere.
  const int64_t height = layout.Ascent() + layout.Descent();
  const int64_t spare = height / 2 + 2;
  const Rect touched{static_cast<int>(std::clamp<int64_t>(int64_t{x} - spare, 0, dst.Width())),
                     static_cast<int>(std::clamp<int64_t>(int64_t{y} - spare, 0, dst.Height())),
                     static_cast<int>(std::clamp<int64_t>(int64_t{x} + layout.Width() + spare, 0,
                                                          dst.Width())),
                     static_cast<int>(std::clamp<int64_t>(int64_t{y} + height + spare, 0,
                                                          dst.Height()))};
  // Text wholly outside is not drawn at all.
  if (touched.IsEmpty()) return;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = touched.Width();
  info.bmiHeader.biHeight = -touched.Height();  // top-down rows, as in a Bitmap
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib) return;
  HGDIOBJ oldBitmap = SelectObject(dc.Get(), dib);
  auto* area = static_cast<Pixel*>(bits);
  const size_t areaWidth = static_cast<size_t>(touched.Width());
  for (int row = touched.top; row < touched.bottom; ++row) {
    std::copy_n(dst.Row(row) + touched.left, areaWidth,
                area + static_cast<size_t>(row - touched.top) * areaWidth);
  }

  // Inside the area the offsets are small: the area lies within the text's
  // reach of (x, y).
  const int originX = static_cast<int>(int64_t{x} - touched.left);
  const int baseline = static_cast<int>(int64_t{y} - touched.top + layout.Ascent());
  const COLORREF colour = font.color & 0x00FFFFFFu;  // already 0x00BBGGRR
  SetBkMode(dc.Get(), TRANSPARENT);
  SetTextColor(dc.Get(), colour);
  SetTextAlign(dc.Get(), TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
  layout.Draw(dc.Get(), originX, baseline);
  if (!lines.empty()) {
    HBRUSH brush = CreateSolidBrush(colour);
    for (const Line& line : lines) {
      const int top = baseline + line.offset - line.thickness / 2;
      const RECT r{originX, top, originX + layout.Width(), top + line.thickness};
      FillRect(dc.Get(), &r, brush);
    }
    DeleteObject(brush);
  }
  GdiFlush();

  // GDI may write the fourth byte; ours stays 0.
  for (int row = touched.top; row < touched.bottom; ++row) {
    const Pixel* s = area + static_cast<size_t>(row - touched.top) * areaWidth;
    Pixel* d = dst.Row(row) + touched.left;
    for (size_t i = 0; i < areaWidth; ++i) d[i] = s[i] & 0x00FFFFFFu;
  }
  SelectObject(dc.Get(), oldBitmap);
  DeleteObject(dib);
}

}  // namespace ls
