#pragma once
// TTransitionView: the picture view of the show. It shows one picture at a
// time, composed over a colour and a background with an optional caption, and
// changes from the picture on screen to the next one with an animated
// transition in one of 128 styles.
//
// The view fills the client area of its Window and paints itself through an
// off-screen buffer, so a repaint is one copy to the screen and never
// flickers. All drawing, all events and the end of a transition happen on the
// main thread of the window's loop.
//
// A transition is paced in one of three ways:
//  - a loop inside Execute that handles the loop's messages between frames
//    (the default; timers, input and paints run in the middle of a
//    transition, and their handlers may call Stop or set Manual);
//  - a TAnimateThread that sleeps between frames and has each frame drawn on
//    the main thread (Threaded);
//  - not at all (Manual): the caller writes Progress.
//
// Events have no sender argument: handlers are closures.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TransitionView/DrawFrame.h"
#include "platform/app/EventLoop.h"
#include "platform/app/Window.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Text.h"

namespace ls {

// How the background picture is laid under the picture.
enum class TBackgroundMode : uint8_t {
  bmNone,       // not drawn
  bmTiled,      // repeated at its own size from the top-left corner
  bmStretched,  // stretched over the whole view
  bmCentered,   // not drawn (treated as bmNone)
};

// Priority of the animation thread, as the platform's thread priorities.
enum class TThreadPriority : uint8_t {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical
};

// A transition style number, 0..127 (the setter keeps any byte).
using TShowStyle = uint8_t;

using TNotifyEvent = std::function<void()>;
// Picture: the new image of the transition; Screen: the frame being drawn.
using TCustomDrawEvent = std::function<void(const Bitmap& picture, Bitmap& screen)>;
// Client coordinates of the mouse.
using TMouseMoveEvent = std::function<void(int x, int y)>;

class TCustomTransitionView;

// Paces the frames of a threaded transition: it only keeps time, and has
// every frame drawn on the main thread through the loop's Synchronize.
class TAnimateThread {
 public:
  // Starts the thread at once, with the view's ThreadPriority.
  explicit TAnimateThread(TCustomTransitionView& view);
  ~TAnimateThread();  // waits for the thread
  TAnimateThread(const TAnimateThread&) = delete;
  TAnimateThread& operator=(const TAnimateThread&) = delete;

  void Terminate() { terminated_.store(true); }
  bool Terminated() const { return terminated_.load(); }
  // Waits until the thread has ended (main thread; its loop must be over).
  void WaitFor();

 private:
  friend class TCustomTransitionView;
  void Execute();

  TCustomTransitionView& View;
  // The view's handle for the end of the run, taken on the main thread.
  std::weak_ptr<TCustomTransitionView*> self_;
  // Which pacing of the view this thread does (see the view's pacing_).
  uint64_t pacing_;
  std::atomic<bool> terminated_{false};
  std::thread thread_;
};

class TCustomTransitionView : private FrameHost {
 public:
  // The view fills `window`'s client area and takes over the window's paint,
  // click, mouse-move and mouse-enter/leave handlers (the owner of the window
  // uses OnClick, OnMouseMove, OnMouseEnter and OnMouseLeave of the view
  // instead). The window and its loop must outlive the view.
  explicit TCustomTransitionView(Window& window);
  // Stops a running transition first. A threaded transition's thread is
  // waited for; its end (OnComplete) is dropped.
  virtual ~TCustomTransitionView();
  TCustomTransitionView(const TCustomTransitionView&) = delete;
  TCustomTransitionView& operator=(const TCustomTransitionView&) = delete;

  // ---- Layout and caption; take effect at the next transition.
  const FontSpec& CaptionFont() const { return CaptionFont_; }
  void SetCaptionFont(const FontSpec& font) { CaptionFont_ = font; }
  const std::string& ImageCaption() const { return ImageCaption_; }
  void SetImageCaption(const std::string& text) { ImageCaption_ = text; }
  bool ShowCaption() const { return ShowCaption_; }
  void SetShowCaption(bool v) { ShowCaption_ = v; }
  bool ShowCaptionShadow() const { return ShowCaptionShadow_; }
  void SetShowCaptionShadow(bool v) { ShowCaptionShadow_ = v; }
  // 0..5: top left, top centre, top right, bottom left, bottom centre,
  // bottom right; 6: at (CaptionX, CaptionY); others: 10 pixels from the left
  // in the top row (value div 3 = 0) or the bottom row.
  int32_t CaptionPosition() const { return CaptionPosition_; }
  void SetCaptionPosition(int32_t v) { CaptionPosition_ = v; }
  int32_t CaptionX() const { return CaptionX_; }
  void SetCaptionX(int32_t v) { CaptionX_ = v; }
  int32_t CaptionY() const { return CaptionY_; }
  void SetCaptionY(int32_t v) { CaptionY_ = v; }
  // The next transition leads to the colour and background alone.
  bool ClearOldImage() const { return ClearOldImage_; }
  void SetClearOldImage(bool v) { ClearOldImage_ = v; }
  bool AutoSize() const { return AutoSize_; }
  void SetAutoSize(bool v) { AutoSize_ = v; }  // a flag only: nothing is resized
  bool Center() const { return Center_; }
  void SetCenter(bool v);
  bool Stretch() const { return Stretch_; }
  void SetStretch(bool v);
  bool StretchFine() const { return StretchFine_; }
  void SetStretchFine(bool v);
  TBackgroundMode BgMode() const { return BgMode_; }
  void SetBgMode(TBackgroundMode v);
  // The colour as 0x00BBGGRR; painted before the first transition and under
  // every new image.
  uint32_t Color() const { return Color_; }
  void SetColor(uint32_t colorRef);

  // ---- Pictures: a graphic or none. An empty (0 x 0) bitmap still counts as
  // a graphic.
  const std::optional<Bitmap>& Picture() const { return Picture_; }
  // Copies the picture in (none empties it); fires OnChange.
  void SetPicture(std::optional<Bitmap> picture);
  const std::optional<Bitmap>& BgPicture() const { return BgPicture_; }
  void SetBgPicture(std::optional<Bitmap> picture);

  // ---- Transition settings.
  TShowStyle Style() const { return Style_; }
  void SetStyle(TShowStyle v);
  // The name of the current style; "" for a style above 127.
  std::string StyleName() const;
  // Selects the first style of that name, ignoring case; an unknown name
  // changes nothing.
  void SetStyleName(const std::string& name);
  uint16_t Step() const { return Step_; }
  void SetStep(uint16_t v);  // 0 becomes 1, above 100 becomes 100
  uint16_t Delay() const { return Delay_; }
  void SetDelay(uint16_t ms) { Delay_ = ms; }
  bool Reverse() const { return Reverse_; }
  void SetReverse(bool v) { Reverse_ = v; }
  bool Threaded() const { return Threaded_; }
  void SetThreaded(bool v) { Threaded_ = v; }
  TThreadPriority ThreadPriority() const { return ThreadPriority_; }
  void SetThreadPriority(TThreadPriority v) { ThreadPriority_ = v; }

  // ---- The engine.
  // Starts a transition to the current Picture. Ignored while Busy or without
  // a picture. With the default pacing returns when the transition has ended
  // or was broken off; Threaded: once the thread runs; Manual: after the
  // preparation. An exception from the preparation, OnStart or a frame frees
  // the transition's images, clears Busy and passes on (no OnComplete).
  void Execute();
  // Ends the running transition at once, keeping the current frame on screen,
  // and fires OnComplete (for a thread: when its end has been handled).
  void Stop();
  uint8_t Progress() const { return Progress_; }
  // Draws the frame of position p (clamped to 0..100) while a transition
  // runs; does nothing otherwise or when p is the current position.
  void SetProgress(int p);
  bool Busy() const { return Busy_; }
  bool Manual() const { return Manual_; }
  // Switches between automatic and manual pacing, also during a transition:
  // setting it holds the transition at its frame, clearing it goes on.
  void SetManual(bool m);

  // ---- Painting.
  // Marks part of the view for repainting, without erasing.
  void InvalidateArea(const Rect& area);
  void Invalidate() { InvalidateArea(ClientRect()); }
  // Repaints the invalid part now.
  void Update();
  int ClientWidth() const { return Window_.ClientWidth(); }
  int ClientHeight() const { return Window_.ClientHeight(); }
  Rect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }
  // To be called after the window's size changed (the window's resize
  // notification does it).
  void WMSize();

  // The current frame (what Paint shows) and the last painted picture.
  const Bitmap& ScreenBitmap() const { return ScreenBitmap_; }
  const Bitmap& PaintBuffer() const { return PaintBuffer_; }
  // The picture's rectangle at its own size, placed on the view, as the last
  // composition worked it out.
  const Rect& PictureRect() const { return PictureRect_; }
  // The images of the running transition (null when none runs).
  const Bitmap* OldImage() const { return OldImage_.get(); }
  const Bitmap* NewImage() const { return NewImage_.get(); }

  // The image that a transition started now would lead to: colour,
  // background, picture and caption (ClearOldImage leaves out the last two).
  // Sets PictureRect.
  Bitmap ComposeNewImage();

  // ---- Events; each fires only when assigned.
  TCustomDrawEvent OnAfterNewFrame;   // after each frame was drawn
  TCustomDrawEvent OnBeforeNewFrame;  // each frame, once it holds the old image
  TNotifyEvent OnChange;              // Picture changed
  TNotifyEvent OnComplete;            // a transition ended
  TCustomDrawEvent OnCustomDraw;      // draws the frames of style 0
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnProgress;            // after each frame, Progress set
  TNotifyEvent OnStart;               // a transition is prepared
  TNotifyEvent OnClick;
  TMouseMoveEvent OnMouseMove;

  // The picture's rectangle of size pw x ph fitted into `bounds` keeping its
  // aspect ratio, centred; small pictures are enlarged.
  static Rect FitRect(int pw, int ph, const Rect& bounds);
  // Repeats `graphic` at its own size over `area` of `dst`, row by row from
  // the top-left corner; nothing for a missing or empty graphic.
  static void TileDraw(Bitmap& dst, const Rect& area, const Bitmap* graphic);

 protected:
  // Draws the view: the current frame from the top-left corner (or the colour
  // before the first transition) through PaintBuffer onto the window.
  virtual void Paint();
  // Change handler of Picture: fires OnChange.
  virtual void PictureChanged();
  void BgPictureChanged();
  bool Destroying() const { return Destroying_; }

 private:
  friend class TAnimateThread;

  // FrameHost: how DrawFrame reaches the events and the screen.
  void BeforeNewFrame() override;
  bool HasBeforeNewFrame() const override { return static_cast<bool>(OnBeforeNewFrame); }
  bool HasCustomDraw() const override { return static_cast<bool>(OnCustomDraw); }
  void CustomDraw() override;
  void AfterNewFrame() override;
  void UpdateNow() override;

  void WMPaint(const Rect& invalid);
  void RenderPaintBuffer();
  void DrawCaption(Bitmap& image);
  void Prepare();
  void AdvanceFrame();
  bool AtEnd() const;
  void Animate();
  void Finish();
  void StopThread();
  void ThreadEnded(TAnimateThread* thread);
  void FreeImages();
  void RequestRepaint();

  Window& Window_;
  EventLoop& Loop_;

  FontSpec CaptionFont_{"MS Sans Serif", 8, false, false, false, false, 0x000000};
  std::string ImageCaption_;
  bool ShowCaption_ = false;
  bool ShowCaptionShadow_ = false;
  int32_t CaptionPosition_ = 0;
  int32_t CaptionX_ = 0;
  int32_t CaptionY_ = 0;
  bool ClearOldImage_ = false;
  std::optional<Bitmap> Picture_;
  std::optional<Bitmap> BgPicture_;
  TBackgroundMode BgMode_ = TBackgroundMode::bmTiled;
  bool AutoSize_ = true;
  bool Center_ = true;
  bool Stretch_ = false;
  bool StretchFine_ = false;
  bool Threaded_ = false;
  TThreadPriority ThreadPriority_ = TThreadPriority::tpNormal;
  bool Manual_ = false;
  TShowStyle Style_ = 0;
  uint16_t Step_ = 4;
  uint16_t Delay_ = 40;
  uint8_t Progress_ = 0;
  bool Reverse_ = false;
  bool Busy_ = false;
  uint32_t Color_ = 0xFFFFFF;  // the platform's window colour

  Bitmap ScreenBitmap_;
  Rect PictureRect_{};
  // The running animation thread; the thread clears it when its loop ends.
  std::atomic<TAnimateThread*> Thread_{nullptr};
  bool Painting_ = false;
  Bitmap PaintBuffer_;
  bool Stopping_ = false;
  std::unique_ptr<Bitmap> OldImage_;
  std::unique_ptr<Bitmap> NewImage_;

  bool Destroying_ = false;
  Rect paintArea_{};
  // Counts transitions, so that a pacing loop notices when a handler ended
  // its transition and started another one.
  uint64_t run_ = 0;
  // Counts the starts of pacing (loop or thread): the end of a thread that
  // was stopped and replaced must not end its successor's run.
  uint64_t pacing_ = 0;
  // A Reverse run of the swap style shows the new image in its one frame and
  // is then at its end.
  bool swapEnded_ = false;
  // Set while DrawFrame runs: a handler that ends the transition then must
  // not free the images under the frame's feet.
  bool inFrame_ = false;
  bool freeAfterFrame_ = false;
  // Set while the thread's frame step runs on the main thread.
  bool inThreadFrame_ = false;
  // Threads that have been started and not yet waited for.
  std::vector<std::unique_ptr<TAnimateThread>> threads_;
  // Lets posted thread ends find out whether the view still exists.
  std::shared_ptr<TCustomTransitionView*> self_;
};

// The published view; adds no behaviour.
class TTransitionView : public TCustomTransitionView {
 public:
  using TCustomTransitionView::TCustomTransitionView;
};

}  // namespace ls
