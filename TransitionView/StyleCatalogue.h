#pragma once
// The transition catalogue: one row per style number with its name and the
// family that computes its geometry. Families only compute geometry (pieces
// of rectangles, or a clipping region) or, for the pixel styles, the pixels
// themselves; DrawFrame does the copying, clipping and invalidation.

#include <optional>

#include "TransitionView/DrawFrame.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Region.h"

namespace ls {

enum class StyleKind {
  kSwap,       // style 0: the picture changes at once, or a handler draws
  kRectangle,  // stretch copies of rectangles of the new image
  kRegion,     // the whole new image drawn through a clipping region
  kPixel,      // the frame's pixels computed one by one
};

// One stretch copy S -> D. A mirrored piece is the roll of the unroll styles,
// drawn with MirrorStretch along the marked axis.
struct Piece {
  Rect d;
  Rect s;
  bool mirrorX = false;
  bool mirrorY = false;
};

// The pieces of a rectangle style in drawing order; the last one is drawn by
// the frame's finish and follows its progress rule, the others always.
struct RectanglePlan {
  Piece pieces[4];
  int count = 0;
  void Add(const Piece& piece) { pieces[count++] = piece; }
};

using RectangleFamily = RectanglePlan (*)(int style, const FrameExtents& e);
// The clipping region of a region style; none when its builder made nothing.
using RegionFamily = std::optional<Region> (*)(int style, const FrameExtents& e);
// Draws a pixel style into `screen`, which holds the old image; or, when
// `oldImage` is given, writes every pixel of `screen` as if it did.
using PixelFamily = void (*)(int style, const FrameExtents& e, Bitmap& screen,
                             const Bitmap& newImage, const Bitmap* oldImage);

struct StyleRow {
  const char* name;
  StyleKind kind;
  RectangleFamily rectangle = nullptr;
  RegionFamily region = nullptr;
  PixelFamily pixel = nullptr;
};

inline constexpr int kStyleCount = 128;

// The row of a style 0..127.
const StyleRow& StyleRowOf(int style);

// Families (one file each).
RectanglePlan OnePieceRectangle(int style, const FrameExtents& e);  // 1-11, 18-28, 35-53
RectanglePlan TwoPieceRectangle(int style, const FrameExtents& e);  // 12, 13, 29, 30
RectanglePlan UnrollRectangle(int style, const FrameExtents& e);    // 14, 15, 31, 32
RectanglePlan BuildUpRectangle(int style, const FrameExtents& e);   // 16, 17, 33, 34
RectanglePlan FourPieceRectangle(int style, const FrameExtents& e); // 54-57

std::optional<Region> CurvedRegion(int style, const FrameExtents& e);    // 58, 59, 69, 70, 80-85
std::optional<Region> BarsRegion(int style, const FrameExtents& e);      // 60-64, 71-75, 86-99
std::optional<Region> ShredRegion(int style, const FrameExtents& e);     // 65-68, 76-79, 100-109
std::optional<Region> DiagonalRegion(int style, const FrameExtents& e);  // 110-116
std::optional<Region> TriangularShredRegion(int style, const FrameExtents& e);  // 117
std::optional<Region> SpeckleRegion(int style, const FrameExtents& e);   // 123-126
std::optional<Region> RandomSquaresRegion(int style, const FrameExtents& e);    // 127

void FadeStyle(int style, const FrameExtents& e, Bitmap& screen, const Bitmap& newImage,
               const Bitmap* oldImage);  // 118
void PivotStyle(int style, const FrameExtents& e, Bitmap& screen, const Bitmap& newImage,
                const Bitmap* oldImage);  // 119-122

// Stretch copy with the destination flipped along the marked axes, as the
// unroll styles' roll needs: S is cut to the source first, and a flipped
// destination runs from its old far edge + 1 back to its old near edge - 1.
void MirrorStretch(Bitmap& dst, const Rect& d, const Bitmap& src, const Rect& s, bool mirrorX,
                   bool mirrorY);

}  // namespace ls
