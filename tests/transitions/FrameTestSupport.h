#pragma once
// Small fixtures for the frame tests: pictures whose every pixel differs
// from its neighbours and from the other picture, and a host that records
// what the frame drawing reports.

#include <string>
#include <vector>

#include "TransitionView/DrawFrame.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Draw.h"

namespace ls::test {

// Old picture: distinct pixels, fourth byte 0.
inline Bitmap OldPicture(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Set(x, y, (static_cast<uint32_t>(x) * 0x010203u + static_cast<uint32_t>(y) * 0x070605u) &
                      0x7F7F7Fu);
  return b;
}

// New picture: distinct pixels with the top bit of every byte set, so no
// pixel of it equals one of the old picture.
inline Bitmap NewPicture(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Set(x, y, ((static_cast<uint32_t>(x) * 0x030105u + static_cast<uint32_t>(y) * 0x0B0D07u) &
                   0x7F7F7Fu) | 0x808080u);
  return b;
}

class RecordingHost : public FrameHost {
 public:
  std::vector<std::string> events;
  std::vector<Rect> invalidated;
  bool customDraw = false;
  bool beforeHandler = true;  // an OnBeforeNewFrame handler is assigned
  const Bitmap* oldImage = nullptr;
  bool sawOldBeforeFrame = false;  // the handler found the old image drawn
  // Drawn by the custom-draw handler over the frame.
  Pixel customColour = 0x123456;
  Bitmap* screen = nullptr;

  void BeforeNewFrame() override {
    events.push_back("before");
    sawOldBeforeFrame = screen && oldImage && *screen == *oldImage;
  }
  bool HasBeforeNewFrame() const override { return beforeHandler; }
  bool HasCustomDraw() const override { return customDraw; }
  void CustomDraw() override {
    events.push_back("custom");
    if (screen) FillRect(*screen, {0, 0, 2, 2}, customColour);
  }
  void InvalidateArea(const Rect& r) override {
    events.push_back("invalidate");
    invalidated.push_back(r);
  }
  void AfterNewFrame() override { events.push_back("after"); }
  void UpdateNow() override { events.push_back("update"); }
};

struct FrameRun {
  Bitmap frame;
  RecordingHost host;
  int progressAfter = 0;
};

// Draws one frame from scratch with a recording host.
inline FrameRun RunFrame(const Bitmap& oldImage, const Bitmap& newImage, int style, int progress,
                         int step = 4, bool customDraw = false, bool beforeHandler = true) {
  FrameRun run;
  run.frame = Bitmap(newImage.Width(), newImage.Height());
  // Whatever the screen held before must not show through.
  FillRect(run.frame, run.frame.Bounds(), 0x5A00A5);
  run.host.customDraw = customDraw;
  run.host.beforeHandler = beforeHandler;
  run.host.oldImage = &oldImage;
  run.host.screen = &run.frame;
  FrameState state;
  state.oldImage = &oldImage;
  state.newImage = &newImage;
  state.screen = &run.frame;
  state.style = static_cast<uint8_t>(style);
  state.progress = static_cast<uint8_t>(progress);
  state.step = static_cast<uint16_t>(step);
  DrawFrame(run.host, state);
  run.progressAfter = state.progress;
  return run;
}

// The old picture with the given pieces S -> D of the new picture copied over
// it in order, as plain stretch copies.
struct RefPiece {
  Rect d, s;
};
inline Bitmap Composed(const Bitmap& oldImage, const Bitmap& newImage,
                       std::initializer_list<RefPiece> pieces) {
  Bitmap out = oldImage;
  for (const RefPiece& p : pieces)
    if (!p.d.IsEmpty() && !p.s.IsEmpty()) StretchCopy(out, p.d, newImage, p.s);
  return out;
}

// Number of pixels of row y in [x0, x1) equal to the same pixel of `of`.
inline int CountSame(const Bitmap& a, const Bitmap& of, int y, int x0, int x1) {
  int n = 0;
  for (int x = x0; x < x1; ++x) n += a.At(x, y) == of.At(x, y);
  return n;
}

}  // namespace ls::test
