// Region styles (58 to 117, 123 to 127): the whole new image is drawn through
// a clipping region built afresh for every frame. Curved reveals use rounded
// rectangles, the bars, shreds, speckles and random squares the builders of
// RegionBuilders, the diagonals triangles. Only the region is computed here.

#include <algorithm>

#include "TransitionView/RegionBuilders.h"
#include "TransitionView/StyleCatalogue.h"

namespace ls {
namespace {

Rect View(const FrameExtents& e) { return {0, 0, std::max(e.W, 0), std::max(e.H, 0)}; }

// Curved reveals: one rounded rectangle (the ellipse reduced to the rectangle
// where larger), as expressions of W, H, X, Y.
struct CurvedRow {
  int style;
  Rect (*rect)(int W, int H, int X, int Y);
  int (*ellipseW)(int W, int H, int X, int Y);
  int (*ellipseH)(int W, int H, int X, int Y);
};

#define CURVED(n, l, t, r, b, ew, eh)                                                    \
  CurvedRow {                                                                            \
    n,                                                                                   \
        [](int W, int H, int X, int Y) {                                                 \
          (void)W, (void)H, (void)X, (void)Y;                                            \
          return Rect{l, t, r, b};                                                       \
        },                                                                               \
        [](int W, int H, int X, int Y) { return (void)W, (void)H, (void)X, (void)Y, ew; }, \
        [](int W, int H, int X, int Y) { return (void)W, (void)H, (void)X, (void)Y, eh; }  \
  }

const CurvedRow kCurved[] = {
    CURVED(58, -2 * W, -5, 2 * X, H + 5, 2 * W, 2 * W),
    CURVED(59, W - 2 * X, -5, 3 * W, H + 5, 2 * W, 2 * W),
    CURVED(69, -5, -2 * H, W + 5, 2 * Y, 2 * H, 2 * H),
    CURVED(70, -5, H - 2 * Y, W + 5, 3 * H, 2 * H, 2 * H),
    CURVED(80, -2 * W, -2 * H, 2 * X, 2 * Y, 2 * W, 2 * H),
    CURVED(81, W - 2 * X, -2 * H, 3 * W, 2 * Y, 2 * W, 2 * H),
    CURVED(82, -2 * W, H - 2 * Y, 2 * X, 3 * H, 2 * W, 2 * H),
    // 2H x 2H, not 2W x 2H: the leading corner is circular.
    CURVED(83, W - 2 * X, H - 2 * Y, 3 * W, 3 * H, 2 * H, 2 * H),
    // A near-ellipse growing from the centre.
    CURVED(84, W / 2 - X, H / 2 - Y, W / 2 + X, H / 2 + Y, (9 * X) / 5, (9 * Y) / 5),
    // A rounded shape shrinking to the centre, larger than the view at first.
    CURVED(85, X - W / 2, Y - H / 2, (3 * W) / 2 - X, (3 * H) / 2 - Y, (9 * (W - X)) / 5,
           (9 * (H - Y)) / 5),
};
#undef CURVED

// Bars and criss cross: A and B as multiples of the extents X and Y, the snap
// distance Q or none, and the two kinds.
struct BarsRow {
  int style;
  int aTimesX, bTimesY;
  bool snap;
  int hkind, vkind;
};

const BarsRow kBars[] = {
    {60, 2, 0, true, 1, 0},  {61, 2, 0, true, 2, 0},  {62, 2, 0, true, 4, 0},
    {63, 2, 0, true, 5, 0},  {64, 1, 0, false, 3, 0}, {71, 0, 2, true, 0, 1},
    {72, 0, 2, true, 0, 2},  {73, 0, 2, true, 0, 4},  {74, 0, 2, true, 0, 5},
    {75, 0, 1, false, 0, 3}, {86, 2, 2, true, 1, 1},  {87, 2, 2, true, 1, 2},
    {88, 2, 2, true, 2, 1},  {89, 2, 2, true, 2, 2},  {90, 2, 2, true, 4, 4},
    {91, 2, 2, true, 4, 5},  {92, 2, 2, true, 5, 4},  {93, 2, 2, true, 5, 5},
    {94, 1, 1, true, 1, 3},  {95, 1, 1, true, 2, 3},  {96, 1, 1, true, 3, 1},
    {97, 1, 1, true, 3, 2},  {98, 1, 1, false, 3, 3},
};

// Uneven shreds: A = X or 0, B = Y or 0, and the two kinds.
struct ShredRow {
  int style;
  bool alongWidth, alongHeight;
  int hkind, vkind;
};

const ShredRow kShreds[] = {
    {65, true, false, 1, 0},  {66, true, false, 2, 0},  {67, true, false, 3, 0},
    {68, true, false, 4, 0},  {76, false, true, 0, 1},  {77, false, true, 0, 2},
    {78, false, true, 0, 3},  {79, false, true, 0, 4},  {100, true, true, 1, 1},
    {101, true, true, 1, 2},  {102, true, true, 2, 1},  {103, true, true, 2, 2},
    {104, true, true, 1, 3},  {105, true, true, 2, 3},  {106, true, true, 3, 1},
    {107, true, true, 3, 2},  {108, true, true, 3, 3},  {109, true, true, 4, 4},
};

template <typename Row, size_t N>
const Row* FindRow(const Row (&table)[N], int style) {
  for (const Row& row : table)
    if (row.style == style) return &row;
  return nullptr;
}

struct Triangle {
  Point a, b, c;
};

Region UnionOfTriangles(const FrameExtents& e, std::initializer_list<Triangle> triangles) {
  Region result(View(e));
  bool first = true;
  for (const Triangle& t : triangles) {
    Region piece = TriangleRgn(t.a.x, t.a.y, t.b.x, t.b.y, t.c.x, t.c.y, e.W, e.H);
    if (first)
      result = std::move(piece);
    else
      result.Union(piece);
    first = false;
  }
  return result;
}

}  // namespace

std::optional<Region> CurvedRegion(int style, const FrameExtents& e) {
  const CurvedRow* row = FindRow(kCurved, style);
  if (!row) return std::nullopt;
  const int W = e.W, H = e.H, X = e.X, Y = e.Y;
  Region rounded = Region::FromRoundRect(row->rect(W, H, X, Y), row->ellipseW(W, H, X, Y),
                                         row->ellipseH(W, H, X, Y), View(e));
  if (style != 85) return rounded;
  // 85 shows the new image outside the shrinking shape: the view XOR it.
  Region region = Region::FromRect(View(e), View(e));
  region.Xor(rounded);
  return region;
}

std::optional<Region> BarsRegion(int style, const FrameExtents& e) {
  if (style == 99) {  // only where the two bar lattices overlap
    std::optional<Region> first = BarsRgn(2 * e.X, 2 * e.Y, e.W, e.H, e.Q, 1, 1);
    std::optional<Region> second = BarsRgn(2 * e.X, 2 * e.Y, e.W, e.H, e.Q, 2, 2);
    if (!first || !second) return std::nullopt;
    second->Intersect(*first);
    ReturnScratchRegion(std::move(*first));
    return second;
  }
  const BarsRow* row = FindRow(kBars, style);
  if (!row) return std::nullopt;
  return BarsRgn(row->aTimesX * e.X, row->bTimesY * e.Y, e.W, e.H, row->snap ? e.Q : 0,
                 row->hkind, row->vkind);
}

std::optional<Region> ShredRegion(int style, const FrameExtents& e) {
  const ShredRow* row = FindRow(kShreds, style);
  if (!row) return std::nullopt;
  return ShredRgn(row->alongWidth ? e.X : 0, row->alongHeight ? e.Y : 0, e.W, e.H, row->hkind,
                  row->vkind);
}

// Diagonal reveals (one triangle with its right angle in the named corner),
// sweeps (two triangles) and the starburst (four triangles meeting at the
// centre, made clockwise around the view).
std::optional<Region> DiagonalRegion(int style, const FrameExtents& e) {
  const int W = e.W, H = e.H, X = e.X, Y = e.Y, w = W / 2, h = H / 2;
  switch (style) {
    case 110:
      return UnionOfTriangles(e, {{{0, 0}, {2 * X, 0}, {0, 2 * Y}}});
    case 111:
      return UnionOfTriangles(e, {{{W, 0}, {W - 2 * X, 0}, {W, 2 * Y}}});
    case 112:
      return UnionOfTriangles(e, {{{0, H}, {2 * X, H}, {0, H - 2 * Y}}});
    case 113:
      return UnionOfTriangles(e, {{{W, H}, {W - 2 * X, H}, {W, H - 2 * Y}}});
    case 114:
      return UnionOfTriangles(e, {{{W, H}, {W, 0}, {W - X, 0}}, {{0, H}, {0, 0}, {X, H}}});
    case 115:
      return UnionOfTriangles(e, {{{W, H}, {0, H}, {0, H - Y}}, {{W, 0}, {0, 0}, {W, Y}}});
    case 116:
      return UnionOfTriangles(e, {{{w, h}, {0, H}, {0, H - Y}},
                                  {{0, 0}, {X, 0}, {w, h}},
                                  {{W - X, H}, {w, h}, {W, H}},
                                  {{w, h}, {W, 0}, {W, Y}}});
  }
  return std::nullopt;
}

// 100 triangles growing from the top-left corners of a 10 x 10 grid; their
// legs reach twice a cell's size at the end, so they then cover every cell.
std::optional<Region> TriangularShredRegion(int, const FrameExtents& e) {
  const int a = e.X / 5;
  const int b = e.W > 0 ? MulDiv(a, e.H, e.W) : 0;
  Region result(View(e));
  for (int i = 0; i < 10; ++i) {
    for (int j = 0; j < 10; ++j) {
      const int x = (j * e.W) / 10, y = (i * e.H) / 10;
      Region piece = TriangleRgn(x, y, x + a, y, x, y + b, e.W, e.H);
      if (i == 0 && j == 0)
        result = std::move(piece);
      else
        result.Union(piece);
    }
  }
  return result;
}

std::optional<Region> SpeckleRegion(int style, const FrameExtents& e) {
  switch (style) {
    case 123:
      return SpeckleRgn(e.X, e.Y, e.W, e.H, 1, 0);
    case 124:
      return SpeckleRgn(e.X, e.Y, e.W, e.H, 2, 0);
    case 125:
      return SpeckleRgn(e.X, e.Y, e.W, e.H, 0, 1);
    case 126:
      return SpeckleRgn(e.X, e.Y, e.W, e.H, 0, 2);
  }
  return std::nullopt;
}

std::optional<Region> RandomSquaresRegion(int, const FrameExtents& e) {
  return RandomSquaresRgn(e.W, e.H, e.p);
}

}  // namespace ls
