// The frame drawing shared by all styles: the old image first, then the part
// of the new image that the style selects for the current progress, then the
// invalidation and the frame events. Styles only compute geometry (or, for the
// pixel styles, pixels); the copying, clipping and invalidation happen here.

#include "TransitionView/DrawFrame.h"

#include <algorithm>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "TransitionView/RegionBuilders.h"
#include "TransitionView/StyleCatalogue.h"
#include "platform/graphics/Draw.h"

namespace ls {
namespace {

void DrawPiece(Bitmap& screen, const Bitmap& newImage, const Piece& piece) {
  if (piece.mirrorX || piece.mirrorY) {
    MirrorStretch(screen, piece.d, newImage, piece.s, piece.mirrorX, piece.mirrorY);
    return;
  }
  // A piece of zero width or height copies nothing.
  if (piece.d.IsEmpty() || piece.s.IsEmpty()) return;
  StretchCopy(screen, piece.d, newImage, piece.s);
}

// Does a plain stretch copy of this piece write every pixel of its D within
// the frame? It does when S lies inside the new image: every destination
// pixel then samples a source pixel.
bool CoversItsDestination(const Piece& piece, const Bitmap& newImage) {
  return !piece.mirrorX && !piece.mirrorY && !piece.d.IsEmpty() && !piece.s.IsEmpty() &&
         piece.s.Intersect(newImage.Bounds()) == piece.s;
}

// Copies columns [x0, x1) of a row. Region rows are often many short spans
// (5-pixel bars); those are copied in place, four pixels at a time, which is
// several times faster than a library call per span.
inline void CopyRowPart(Pixel* to, const Pixel* from, int x0, int x1) {
  const int n = x1 - x0;
  if (n <= 0) return;
  to += x0;
  from += x0;
#if defined(__SSE2__)
  if (n >= 4 && n <= 32) {
    // Four-pixel blocks, the last one overlapping its neighbour when n is
    // not a multiple of four.
    for (int i = 0; i + 4 < n; i += 4)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + n - 4),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + n - 4)));
    return;
  }
  if (n < 4) {
    to[0] = from[0];
    if (n > 1) to[1] = from[1];
    if (n > 2) to[2] = from[2];
    return;
  }
#endif
  std::memcpy(to, from, static_cast<size_t>(n) * sizeof(Pixel));
}

// The old image everywhere but in `hole`, which the caller covers.
void DrawOldAround(Bitmap& screen, const Bitmap& oldImage, const Rect& hole) {
  const Rect h = hole.Intersect(screen.Bounds());
  if (h.IsEmpty()) {
    DrawWhole(screen, oldImage);
    return;
  }
  const size_t rowBytes = screen.StrideBytes();
  std::memcpy(screen.Row(0), oldImage.Row(0), rowBytes * static_cast<size_t>(h.top));
  for (int y = h.top; y < h.bottom; ++y) {
    CopyRowPart(screen.Row(y), oldImage.Row(y), 0, h.left);
    CopyRowPart(screen.Row(y), oldImage.Row(y), h.right, screen.Width());
  }
  std::memcpy(screen.Row(h.bottom), oldImage.Row(h.bottom),
              rowBytes * static_cast<size_t>(screen.Height() - h.bottom));
}

// The old image with the new one drawn through the region, in one pass.
void DrawBothThroughRegion(Bitmap& screen, const Bitmap& oldImage, const Bitmap& newImage,
                           const Region& region) {
  const int W = screen.Width();
  for (int y = 0; y < screen.Height(); ++y) {
    Pixel* to = screen.Row(y);
    int x = 0;
    for (const Span& span : region.RowSpans(y)) {
      const int x0 = std::clamp(span.x0, x, W), x1 = std::clamp(span.x1, x0, W);
      CopyRowPart(to, oldImage.Row(y), x, x0);
      CopyRowPart(to, newImage.Row(y), x0, x1);
      x = x1;
    }
    CopyRowPart(to, oldImage.Row(y), x, W);
  }
}

}  // namespace

FrameExtents ComputeExtents(int width, int height, int progress, int step) {
  FrameExtents e;
  e.W = width;
  e.H = height;
  e.p = progress;
  if (width <= 0 || height <= 0) return e;  // nothing to advance across
  if (height > width) {
    e.Y = MulDiv(height, progress, 100);
    e.X = MulDiv(e.Y, width, height);
    e.Q = MulDiv(height, step, 90);
  } else {
    e.X = MulDiv(width, progress, 100);
    e.Y = MulDiv(e.X, height, width);
    e.Q = MulDiv(width, step, 90);
  }
  return e;
}

// Every frame is the old image with the style's part of the new image over
// it. When no one looks at the frame in between (no OnBeforeNewFrame
// handler), the old image is not copied first and then overwritten: each
// pixel is written once, from whichever image it shows. The result is the
// same frame, pixel for pixel.
void DrawFrame(FrameHost& host, FrameState& state) {
  Bitmap& screen = *state.screen;
  const Bitmap& oldImage = *state.oldImage;
  const Bitmap& newImage = *state.newImage;
  const int W = newImage.Width(), H = newImage.Height();

  // 1, 2: the old image, unless it can be merged into the drawing below.
  bool oldPending = !host.HasBeforeNewFrame() && oldImage.Width() == W &&
                    oldImage.Height() == H && screen.Width() == W && screen.Height() == H;
  if (!oldPending) DrawWhole(screen, oldImage);
  host.BeforeNewFrame();
  auto drawOld = [&] {
    if (oldPending) DrawWhole(screen, oldImage);
    oldPending = false;
  };

  // 3: the frame's quantities.
  const Rect whole{0, 0, W, H};
  Rect d = whole;
  Rect s = whole;
  std::optional<Region> region;
  const FrameExtents e = ComputeExtents(W, H, state.progress, state.step);
  const bool ends = state.progress >= 100;  // the new image will cover everything

  // 4: style numbers past the table leave the old image and report nothing.
  if (state.style >= kStyleCount) {
    drawOld();
    return;
  }
  const StyleRow& row = StyleRowOf(state.style);

  // 5: the style's own step.
  switch (row.kind) {
    case StyleKind::kSwap:
      if (host.HasCustomDraw()) {
        drawOld();  // the handler draws over the old image
        host.CustomDraw();
      } else {
        oldPending = false;  // covered by the new image
        DrawWhole(screen, newImage);
        region = Region::FromRect(whole, whole);
        state.progress = 100;  // the picture changes in this one frame
      }
      break;
    case StyleKind::kRectangle: {
      const RectanglePlan plan = row.rectangle(state.style, e);
      if (plan.count > 0) {
        d = plan.pieces[plan.count - 1].d;
        s = plan.pieces[plan.count - 1].s;
      }
      const Piece last{d, s};
      if (ends)
        oldPending = false;  // earlier pieces and old image alike end up covered
      else if (oldPending && state.progress > 0 && CoversItsDestination(last, newImage))
        DrawOldAround(screen, oldImage, d);
      else
        drawOld();
      oldPending = false;
      for (int i = 0; i + 1 < plan.count; ++i) {
        if (!ends) DrawPiece(screen, newImage, plan.pieces[i]);
        host.InvalidateArea(plan.pieces[i].d);
      }
      break;
    }
    case StyleKind::kRegion:
      region = row.region(state.style, e);
      break;
    case StyleKind::kPixel:
      if (ends) {
        oldPending = false;  // the new image is drawn whole below
      } else {
        row.pixel(state.style, e, screen, newImage, oldPending ? &oldImage : nullptr);
        oldPending = false;
      }
      break;
  }

  // 6: finish by the progress as it now stands.
  const int p = state.progress;
  const bool swapped = row.kind == StyleKind::kSwap && region.has_value();
  if (p >= 100) {
    oldPending = false;
    if (!swapped) DrawWhole(screen, newImage);  // a swap has just drawn it whole
  } else if (p > 0) {
    switch (row.kind) {
      case StyleKind::kRectangle:
        DrawPiece(screen, newImage, Piece{d, s});
        break;
      case StyleKind::kSwap:
      case StyleKind::kRegion:
        // Without a region (a custom-drawn swap, or a builder that made no
        // rectangle) nothing more is drawn: the frame keeps what it shows.
        if (region && oldPending) {
          DrawBothThroughRegion(screen, oldImage, newImage, *region);
          oldPending = false;
        } else if (region) {
          DrawThroughRegion(screen, newImage, *region);
        }
        break;
      case StyleKind::kPixel:
        break;
    }
  }
  drawOld();  // p = 0, or no region: the frame is the old image

  // 7, 8: release the region; invalidate the last piece (rectangle styles)
  // or the whole view.
  if (region) ReturnScratchRegion(std::move(*region));
  region.reset();
  host.InvalidateArea(d);

  // 9, 10
  host.AfterNewFrame();
  host.UpdateNow();
}

void ReleaseFrameCaches() { ReleaseScratchRegions(); }

Bitmap DrawFrameOffscreen(const Bitmap& oldImage, const Bitmap& newImage, int style,
                          int progress, int step) {
  Bitmap screen(newImage.Width(), newImage.Height());
  QuietFrameHost host;
  FrameState state;
  state.oldImage = &oldImage;
  state.newImage = &newImage;
  state.screen = &screen;
  state.style = static_cast<uint8_t>(style);
  state.progress = static_cast<uint8_t>(progress);
  state.step = static_cast<uint16_t>(step);
  DrawFrame(host, state);
  return screen;
}

}  // namespace ls
