#pragma once
// The frame drawing of a transition: what ScreenBitmap shows for a style at a
// progress, between the old image and the new one.
//
// The view owns the bitmaps and the events; the catalogue computes geometry
// and copies pixels. FrameHost is how the drawing reaches back into the view
// for the events, invalidation and repaint, in the order the view promises.

#include <cstdint>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"

namespace ls {

class FrameHost {
 public:
  virtual ~FrameHost() = default;
  virtual void BeforeNewFrame() = 0;                 // OnBeforeNewFrame, if assigned
  // Is an OnBeforeNewFrame handler assigned? Only when none is may the frame
  // skip copying the old image where the new one will cover it, since no one
  // then sees the frame between the two. Saying true is always correct.
  virtual bool HasBeforeNewFrame() const { return true; }
  virtual bool HasCustomDraw() const = 0;            // OnCustomDraw assigned?
  virtual void CustomDraw() = 0;                     // OnCustomDraw
  virtual void InvalidateArea(const Rect& area) = 0; // mark changed screen area
  virtual void AfterNewFrame() = 0;                  // OnAfterNewFrame, if assigned
  virtual void UpdateNow() = 0;                      // repaint unless painting
};

struct FrameState {
  const Bitmap* oldImage = nullptr;
  const Bitmap* newImage = nullptr;
  Bitmap* screen = nullptr;  // ScreenBitmap, same size as both images
  uint8_t style = 0;
  uint8_t progress = 0;  // 0..100; style 0 without custom draw sets it to 100
  uint16_t step = 4;     // 1..100
};

// The quantities worked out at the start of every frame. The longer side
// advances by exactly p percent and the shorter one follows in proportion.
struct FrameExtents {
  int W = 0, H = 0;  // size of the new image
  int p = 0;         // progress 0..100
  int X = 0, Y = 0;  // how far the transition has come along width and height
  int Q = 0;         // snap distance of the bar styles
};
FrameExtents ComputeExtents(int width, int height, int progress, int step);

// Draws one frame (the ten steps of the frame drawing) for any style 0..255.
// A frame depends only on the style, progress, step and the two images (and,
// for the random styles, on the shared random generator): it is drawn from
// scratch every time.
void DrawFrame(FrameHost& host, FrameState& state);

// Frames keep the storage of their last regions for the next frame (it is
// emptied before reuse, so frames never depend on it). Between transitions
// it may be handed back to the system; the next frame simply allocates again.
void ReleaseFrameCaches();

// A host without a view: no events, nothing to invalidate or repaint. For
// drawing frames off screen (the tools and the benchmark).
class QuietFrameHost : public FrameHost {
 public:
  void BeforeNewFrame() override {}
  bool HasBeforeNewFrame() const override { return false; }
  bool HasCustomDraw() const override { return false; }
  void CustomDraw() override {}
  void InvalidateArea(const Rect&) override {}
  void AfterNewFrame() override {}
  void UpdateNow() override {}
};

// The frame of `style` at `progress` in a transition from oldImage to
// newImage (both of one size), drawn off screen.
Bitmap DrawFrameOffscreen(const Bitmap& oldImage, const Bitmap& newImage, int style,
                          int progress, int step);

// The style name table, 128 entries indexed by style number.
const std::string& StyleNameOf(int style);  // "" for numbers above 127
// The first style whose name equals `name` ignoring case, or -1.
int StyleByName(const std::string& name);

}  // namespace ls
