// Rectangle styles (1 to 57): the new image reaches the frame as one to four
// stretch copies S -> D. Expand styles squeeze the whole new image into a
// growing rectangle, slide styles move it in unscaled, reveal styles uncover
// it in place; the multi-piece families below add opposite sides, build-up,
// unroll and quarters. Only geometry is computed here.

#include <algorithm>

#include "TransitionView/StyleCatalogue.h"
#include "platform/graphics/Draw.h"

namespace ls {
namespace {

using PieceFn = Piece (*)(int W, int H, int X, int Y);

struct OnePieceRow {
  int style;
  PieceFn piece;
};

// One row per style: D in the frame, then S in the new image, as expressions
// of the view size W x H and the extents X, Y. Integer division truncates.
#define ONE_PIECE(n, dl, dt, dr, db, sl, st, sr, sb)           \
  OnePieceRow {                                                \
    n, [](int W, int H, int X, int Y) {                        \
      (void)W, (void)H, (void)X, (void)Y;                      \
      return Piece{{dl, dt, dr, db}, {sl, st, sr, sb}};        \
    }                                                          \
  }

const OnePieceRow kOnePiece[] = {
    // Along the width.
    ONE_PIECE(1, W - X, 0, W, H, /*<-*/ 0, 0, W, H),
    ONE_PIECE(2, 0, 0, X, H, /*<-*/ 0, 0, W, H),
    ONE_PIECE(3, W - X, 0, 2 * W - X, H, /*<-*/ 0, 0, W, H),
    ONE_PIECE(4, X - W, 0, X, H, /*<-*/ 0, 0, W, H),
    ONE_PIECE(5, 0, 0, X, H, /*<-*/ 0, 0, X, H),
    ONE_PIECE(6, W - X, 0, W, H, /*<-*/ W - X, 0, W, H),
    ONE_PIECE(7, 0, 0, 2 * W - X, H, /*<-*/ 0, 0, X, H),
    ONE_PIECE(8, X - W, 0, W, H, /*<-*/ W - X, 0, W, H),
    ONE_PIECE(9, X - W, 0, 2 * W - X, H, /*<-*/ (W - X) / 2, 0, (W + X) / 2, H),
    ONE_PIECE(10, (W - X) / 2, 0, (W + X) / 2, H, /*<-*/ 0, 0, W, H),
    ONE_PIECE(11, (W - X) / 2, 0, (W + X) / 2, H, /*<-*/ (W - X) / 2, 0, (W + X) / 2, H),
    // Along the height.
    ONE_PIECE(18, 0, H - Y, W, H, /*<-*/ 0, 0, W, H),
    ONE_PIECE(19, 0, 0, W, Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(20, 0, H - Y, W, 2 * H - Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(21, 0, Y - H, W, Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(22, 0, 0, W, Y, /*<-*/ 0, 0, W, Y),
    ONE_PIECE(23, 0, H - Y, W, H, /*<-*/ 0, H - Y, W, H),
    ONE_PIECE(24, 0, 0, W, 2 * H - Y, /*<-*/ 0, 0, W, Y),
    ONE_PIECE(25, 0, Y - H, W, H, /*<-*/ 0, H - Y, W, H),
    ONE_PIECE(26, 0, Y - H, W, 2 * H - Y, /*<-*/ 0, (H - Y) / 2, W, (H + Y) / 2),
    ONE_PIECE(27, 0, (H - Y) / 2, W, (H + Y) / 2, /*<-*/ 0, 0, W, H),
    ONE_PIECE(28, 0, (H - Y) / 2, W, (H + Y) / 2, /*<-*/ 0, (H - Y) / 2, W, (H + Y) / 2),
    // Corners and centre.
    ONE_PIECE(35, W - X, H - Y, W, H, /*<-*/ 0, 0, W, H),
    ONE_PIECE(36, W - X, 0, W, Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(37, 0, 0, X, Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(38, 0, H - Y, X, H, /*<-*/ 0, 0, W, H),
    ONE_PIECE(39, W - X, H - Y, 2 * W - X, 2 * H - Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(40, W - X, Y - H, 2 * W - X, Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(41, X - W, Y - H, X, Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(42, X - W, H - Y, X, 2 * H - Y, /*<-*/ 0, 0, W, H),
    ONE_PIECE(43, 0, 0, X, Y, /*<-*/ 0, 0, X, Y),
    ONE_PIECE(44, 0, H - Y, X, H, /*<-*/ 0, H - Y, X, H),
    ONE_PIECE(45, W - X, H - Y, W, H, /*<-*/ W - X, H - Y, W, H),
    ONE_PIECE(46, W - X, 0, W, Y, /*<-*/ W - X, 0, W, Y),
    ONE_PIECE(47, 0, 0, 2 * W - X, 2 * H - Y, /*<-*/ 0, 0, X, Y),
    ONE_PIECE(48, 0, Y - H, 2 * W - X, H, /*<-*/ 0, H - Y, X, H),
    ONE_PIECE(49, X - W, Y - H, W, H, /*<-*/ W - X, H - Y, W, H),
    ONE_PIECE(50, X - W, 0, W, 2 * H - Y, /*<-*/ W - X, 0, W, Y),
    ONE_PIECE(51, X - W, Y - H, 2 * W - X, 2 * H - Y,
              /*<-*/ (W - X) / 2, (H - Y) / 2, (W + X) / 2, (H + Y) / 2),
    ONE_PIECE(52, (W - X) / 2, (H - Y) / 2, (W + X) / 2, (H + Y) / 2, /*<-*/ 0, 0, W, H),
    ONE_PIECE(53, (W - X) / 2, (H - Y) / 2, (W + X) / 2, (H + Y) / 2,
              /*<-*/ (W - X) / 2, (H - Y) / 2, (W + X) / 2, (H + Y) / 2),
};
#undef ONE_PIECE

// A piece copied unscaled from the same place of the new image.
Piece InPlace(const Rect& r) { return {r, r}; }

}  // namespace

RectanglePlan OnePieceRectangle(int style, const FrameExtents& e) {
  RectanglePlan plan;
  for (const OnePieceRow& row : kOnePiece) {
    if (row.style == style) {
      plan.Add(row.piece(e.W, e.H, e.X, e.Y));
      break;
    }
  }
  return plan;
}

// From both sides: the first piece grows from the left (top) edge, the last
// from the right (bottom) edge, in place (12, 29) or squeezing each half of
// the new image (13, 30).
RectanglePlan TwoPieceRectangle(int style, const FrameExtents& e) {
  const int W = e.W, H = e.H, x = e.X / 2, y = e.Y / 2;
  RectanglePlan plan;
  switch (style) {
    case 12:
      plan.Add(InPlace({0, 0, x + 1, H}));
      plan.Add(InPlace({W - x - 1, 0, W, H}));
      break;
    case 13:
      plan.Add({{0, 0, x + 1, H}, {0, 0, W / 2 + 1, H}});
      plan.Add({{W - x - 1, 0, W, H}, {W / 2, 0, W, H}});
      break;
    case 29:
      plan.Add(InPlace({0, 0, W, y + 1}));
      plan.Add(InPlace({0, H - y - 1, W, H}));
      break;
    case 30:
      plan.Add({{0, 0, W, y + 1}, {0, 0, W, H / 2 + 1}});
      plan.Add({{0, H - y - 1, W, H}, {0, H / 2, W, H}});
      break;
  }
  return plan;
}

// Unroll: the unrolled part shows the new image in place; next to it a roll
// shows, mirrored, the strip that lies just beyond it, as if the rest of the
// picture were rolled up and seen from behind. The roll narrows near both
// ends of the transition.
RectanglePlan UnrollRectangle(int style, const FrameExtents& e) {
  const int W = e.W, H = e.H, X = e.X, Y = e.Y;
  auto rollWidth = [](int extent, int size) {
    if (extent < size / 5) return extent / 2;
    if (extent + size / 5 > size) return (size - extent) / 2;
    return size / 10;
  };
  RectanglePlan plan;
  switch (style) {
    case 14: {
      const int r = rollWidth(X, W);
      plan.Add({{X, 0, X + r, H}, {X + r, 0, X + 2 * r, H}, true, false});
      plan.Add(InPlace({0, 0, X, H}));
      break;
    }
    case 15: {
      const int r = rollWidth(X, W);
      plan.Add({{W - X - r, 0, W - X, H}, {W - X - 2 * r, 0, W - X - r, H}, true, false});
      plan.Add(InPlace({W - X, 0, W, H}));
      break;
    }
    case 31: {
      const int r = rollWidth(Y, H);
      plan.Add({{0, Y, W, Y + r}, {0, Y + r, W, Y + 2 * r}, false, true});
      plan.Add(InPlace({0, 0, W, Y}));
      break;
    }
    case 32: {
      const int r = rollWidth(Y, H);
      plan.Add({{0, H - Y - r, W, H - Y}, {0, H - Y - 2 * r, W, H - Y - r}, false, true});
      plan.Add(InPlace({0, H - Y, W, H}));
      break;
    }
  }
  return plan;
}

// Build up: the part already built is copied in place; the rest of the frame
// receives the strip of the new image (a twentieth of the view deep) next to
// it, stretched. Near the end that strip reaches past the new image; it is cut
// to the image, so the rest of the frame always shows new pixels stretched
// over it rather than leftovers of the old image.
RectanglePlan BuildUpRectangle(int style, const FrameExtents& e) {
  const int W = e.W, H = e.H, X = e.X, Y = e.Y;
  const Rect image{0, 0, W, H};
  RectanglePlan plan;
  switch (style) {
    case 16:
      plan.Add(InPlace({0, 0, X, H}));
      plan.Add({{X, 0, W, H}, Rect{X, 0, X + W / 20, H}.Intersect(image)});
      break;
    case 17:
      plan.Add(InPlace({W - X, 0, W, H}));
      plan.Add({{0, 0, W - X, H}, Rect{W - X - W / 20, 0, W - X, H}.Intersect(image)});
      break;
    case 33:
      plan.Add(InPlace({0, 0, W, Y}));
      plan.Add({{0, Y, W, H}, Rect{0, Y, W, Y + H / 20}.Intersect(image)});
      break;
    case 34:
      plan.Add(InPlace({0, H - Y, W, H}));
      plan.Add({{0, 0, W, H - Y}, Rect{0, H - Y - H / 20, W, H - Y}.Intersect(image)});
      break;
  }
  return plan;
}

// Reveal in to centre (54) and the quarters (55 to 57): four pieces.
RectanglePlan FourPieceRectangle(int style, const FrameExtents& e) {
  const int W = e.W, H = e.H, X = e.X, Y = e.Y;
  const int x = X / 2, y = Y / 2, w = W / 2, h = H / 2;
  RectanglePlan plan;
  switch (style) {
    case 54:
      plan.Add(InPlace({0, 0, W, y}));
      plan.Add(InPlace({0, H - y, W, H}));
      plan.Add(InPlace({0, 0, x, H}));
      plan.Add(InPlace({W - x, 0, W, H}));
      break;
    case 55:  // the corners grow in place
      plan.Add(InPlace({0, 0, x + 1, y + 1}));
      plan.Add(InPlace({0, H - y - 1, x + 1, H}));
      plan.Add(InPlace({W - x - 1, H - y - 1, W, H}));
      plan.Add(InPlace({W - x - 1, 0, W, y + 1}));
      break;
    case 56:  // each quarter squeezed into its growing corner
      plan.Add({{0, 0, x + 1, y + 1}, {0, 0, w + 1, h + 1}});
      plan.Add({{0, H - y, x + 1, H}, {0, h + 1, w + 1, H}});
      plan.Add({{W - x, H - y, W, H}, {w + 1, h + 1, W, H}});
      plan.Add({{W - x, 0, W, y + 1}, {w + 1, 0, W, h + 1}});
      break;
    case 57:  // each quarter slides in from its own side
      plan.Add({{(X - W) / 2, 0, x + 1, h + 1}, {0, 0, w + 1, h + 1}});
      plan.Add({{w - 1, (Y - H) / 2, W, y + 1}, {w - 1, 0, W, h + 1}});
      plan.Add({{W - x, h - 1, W + (W - X) / 2, H}, {w + 1, h - 1, W, H}});
      plan.Add({{0, H - y, w + 1, H + (H - Y) / 2}, {0, h + 1, w + 1, H}});
      break;
  }
  return plan;
}

// The roll is drawn onto exactly D, flipped: the source strip's far edge
// lands on D's near edge. (Flipping by moving D's edges one pixel outward
// would let the roll spill a column past D, outside the invalidated area.)
void MirrorStretch(Bitmap& dst, const Rect& d, const Bitmap& src, const Rect& s, bool mirrorX,
                   bool mirrorY) {
  const Rect cut = s.Intersect(src.Bounds());
  if (cut.IsEmpty() || d.IsEmpty()) return;
  // A negative extent runs from its origin backwards: origin right - 1 with
  // extent -width covers exactly the columns of D.
  const int dx = mirrorX ? d.right - 1 : d.left;
  const int dw = mirrorX ? -d.Width() : d.Width();
  const int dy = mirrorY ? d.bottom - 1 : d.top;
  const int dh = mirrorY ? -d.Height() : d.Height();
  StretchCopy(dst, dx, dy, dw, dh, src, cut.left, cut.top, cut.Width(), cut.Height());
}

}  // namespace ls
