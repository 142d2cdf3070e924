// The frame drawing shared by all styles: the old image first, then the part
// of the new image that the style selects for the current progress, then the
// invalidation and the frame events. Styles only compute geometry (or, for the
// pixel styles, pixels); the copying, clipping and invalidation happen here.

#include "TransitionView/DrawFrame.h"

#include <optional>

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

void DrawFrame(FrameHost& host, FrameState& state) {
  Bitmap& screen = *state.screen;
  const Bitmap& newImage = *state.newImage;

  // 1, 2: every frame starts from the whole old image.
  DrawWhole(screen, *state.oldImage);
  host.BeforeNewFrame();

  // 3: the frame's quantities.
  const int W = newImage.Width(), H = newImage.Height();
  const Rect whole{0, 0, W, H};
  Rect d = whole;
  Rect s = whole;
  std::optional<Region> region;
  const FrameExtents e = ComputeExtents(W, H, state.progress, state.step);

  // 4: style numbers past the table leave the old image and report nothing.
  if (state.style >= kStyleCount) return;
  const StyleRow& row = StyleRowOf(state.style);

  // 5: the style's own step.
  switch (row.kind) {
    case StyleKind::kSwap:
      if (host.HasCustomDraw()) {
        host.CustomDraw();
      } else {
        DrawWhole(screen, newImage);
        region = Region::FromRect(whole, whole);
        state.progress = 100;  // the picture changes in this one frame
      }
      break;
    case StyleKind::kRectangle: {
      const RectanglePlan plan = row.rectangle(state.style, e);
      for (int i = 0; i + 1 < plan.count; ++i) {
        DrawPiece(screen, newImage, plan.pieces[i]);
        host.InvalidateArea(plan.pieces[i].d);
      }
      if (plan.count > 0) {
        d = plan.pieces[plan.count - 1].d;
        s = plan.pieces[plan.count - 1].s;
      }
      break;
    }
    case StyleKind::kRegion:
      region = row.region(state.style, e);
      break;
    case StyleKind::kPixel:
      row.pixel(state.style, e, screen, newImage);
      break;
  }

  // 6: finish by the progress as it now stands.
  const int p = state.progress;
  if (p >= 100) {
    DrawWhole(screen, newImage);
  } else if (p > 0) {
    switch (row.kind) {
      case StyleKind::kRectangle:
        DrawPiece(screen, newImage, Piece{d, s});
        break;
      case StyleKind::kSwap:
      case StyleKind::kRegion:
        // Without a region (a custom-drawn swap, or a builder that made no
        // rectangle) nothing more is drawn: the frame keeps what it shows.
        if (region) DrawThroughRegion(screen, newImage, *region);
        break;
      case StyleKind::kPixel:
        break;
    }
  }

  // 7, 8: release the region; invalidate the last piece (rectangle styles)
  // or the whole view.
  if (region) ReturnScratchRegion(std::move(*region));
  region.reset();
  host.InvalidateArea(d);

  // 9, 10
  host.AfterNewFrame();
  host.UpdateNow();
}

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
