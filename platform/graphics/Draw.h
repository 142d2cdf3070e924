#pragma once
// Drawing operations on bitmaps: what the platform's graphics interface gives
// the transition drawing, with the same results on B, G and R.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Region.h"

namespace ls {

// Copies src at its own size with its top-left corner at (x, y), cut to dst.
void DrawBitmap(Bitmap& dst, int x, int y, const Bitmap& src);

// "Draw whole": src at (0, 0).
inline void DrawWhole(Bitmap& dst, const Bitmap& src) { DrawBitmap(dst, 0, 0, src); }

// Fills r (cut to dst) with one pixel value.
void FillRect(Bitmap& dst, const Rect& r, Pixel colour);

// Stretch copy with nearest-neighbour sampling (StretchBlt, SRCCOPY,
// COLORONCOLOR): the source rectangle at (sx, sy) with extents (sw, sh) onto
// the destination origin (dx, dy) with extents (dw, dh). Each axis is scaled
// on its own; rows and columns are repeated or dropped, never blended.
//
// Along each axis, destination index i in [0, |dw|) lands on column dx + i
// (dx - i when dw < 0) and takes source index
//   j = floor((2i + 1) |sw| / (2 |dw|))
// (the source pixel under the centre of the destination pixel; j = i when
// |sw| == |dw|), at column sx + j (sx - j when sw < 0). So an origin x0 with
// extent -w covers columns x0 - w + 1 .. x0, and extents of different signs
// mirror. Rows alike. A zero extent copies nothing. The part outside dst is
// cut off; source pixels outside src are never read (the destination pixels
// they would feed are left as they were). With a clip region only its pixels
// of dst are written. dst and src must be different bitmaps.
void StretchCopy(Bitmap& dst, int dx, int dy, int dw, int dh, const Bitmap& src, int sx, int sy,
                 int sw, int sh, const Region* clip = nullptr);

// The rectangle form: S of src into D of dst. The extents are right - left
// and bottom - top, so a rectangle given inside out mirrors, as the
// platform's call made with those extents does.
inline void StretchCopy(Bitmap& dst, const Rect& d, const Bitmap& src, const Rect& s,
                        const Region* clip = nullptr) {
  StretchCopy(dst, d.left, d.top, d.Width(), d.Height(), src, s.left, s.top, s.Width(),
              s.Height(), clip);
}

// Copies the pixels of src that lie in the region to the same places in dst
// (drawing src whole at (0, 0) through a clipping region); pixels outside
// either bitmap are left alone.
void DrawThroughRegion(Bitmap& dst, const Bitmap& src, const Region& region);

}  // namespace ls
