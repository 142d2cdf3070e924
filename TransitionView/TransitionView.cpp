#include "TransitionView/TransitionView.h"

#include <algorithm>
#include <exception>

#include "platform/app/Thread.h"
#include "platform/graphics/Draw.h"

namespace ls {

namespace {

// The platform's thread priority values of tpIdle .. tpTimeCritical.
constexpr int kPriorityValue[] = {-15, -2, -1, 0, 1, 2, 15};

}  // namespace

// ------------------------------------------------------------ TAnimateThread

TAnimateThread::TAnimateThread(TCustomTransitionView& view)
    : View(view), self_(view.self_), pacing_(view.pacing_) {
  const int priority = kPriorityValue[static_cast<int>(view.ThreadPriority())];
  thread_ = std::thread([this, priority] {
    SetCurrentThreadPriority(priority);
    Execute();
  });
}

TAnimateThread::~TAnimateThread() { WaitFor(); }

void TAnimateThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

void TAnimateThread::Execute() {
  EventLoop& loop = View.Loop_;
  std::exception_ptr failure;
  while (!Terminated()) {
    const uint32_t t0 = loop.GetTickCount();
    bool atEnd = false;
    uint16_t delay = 0;
    // The frame, and everything read from the view, on the main thread.
    try {
      loop.Synchronize([&] {
        View.inThreadFrame_ = true;
        try {
          View.AdvanceFrame();
        } catch (...) {
          View.inThreadFrame_ = false;
          throw;
        }
        View.inThreadFrame_ = false;
        atEnd = View.AtEnd();
        delay = View.Delay();
      });
    } catch (...) {
      failure = std::current_exception();
      break;
    }
    if (Terminated()) break;
    const uint32_t elapsed = loop.GetTickCount() - t0;
    if (atEnd)
      Terminate();
    else if (elapsed < delay)
      loop.Sleep(delay - elapsed);
  }
  TAnimateThread* me = this;
  View.Thread_.compare_exchange_strong(me, nullptr);
  // The end of the run is handled on the main thread, like every other part
  // of it; a frame's exception goes to the loop's exception handler there.
  // Only the weak handle is used from here on: the view may be gone by the
  // time the main thread gets to it.
  loop.Post([self = self_, thread = this, failure, &loop] {
    if (auto view = self.lock()) (*view)->ThreadEnded(thread);
    if (failure && loop.OnException) loop.OnException(failure);
  });
}

// ----------------------------------------------------- TCustomTransitionView

TCustomTransitionView::TCustomTransitionView(Window& window)
    : Window_(window), Loop_(window.Loop()), self_(std::make_shared<TCustomTransitionView*>(this)) {
  Window_.handlers.onPaint = [this](const Rect& r) { WMPaint(r); };
  Window_.handlers.onResize = [this] { WMSize(); };
  Window_.handlers.onClick = [this] {
    if (OnClick) OnClick();
  };
  Window_.handlers.onMouseMove = [this](int x, int y) {
    if (OnMouseMove) OnMouseMove(x, y);
  };
  Window_.handlers.onMouseEnter = [this] {
    if (OnMouseEnter) OnMouseEnter();
  };
  Window_.handlers.onMouseLeave = [this] {
    if (OnMouseLeave) OnMouseLeave();
  };
}

TCustomTransitionView::~TCustomTransitionView() {
  Destroying_ = true;
  try {
    Stop();
  } catch (...) {
    // A handler's exception must not escape a destructor; the view goes
    // regardless.
  }
  // Anything the threads still post about this view finds it gone.
  self_.reset();
  for (auto& t : threads_) {
    t->Terminate();
    t->WaitFor();
  }
  threads_.clear();
  Window_.handlers.onPaint = nullptr;
  Window_.handlers.onResize = nullptr;
  Window_.handlers.onClick = nullptr;
  Window_.handlers.onMouseMove = nullptr;
  Window_.handlers.onMouseEnter = nullptr;
  Window_.handlers.onMouseLeave = nullptr;
}

// ------------------------------------------------------------- properties

void TCustomTransitionView::RequestRepaint() {
  if (!Painting_) Invalidate();
}

void TCustomTransitionView::SetCenter(bool v) {
  if (v == Center_) return;
  Center_ = v;
  if (Picture_ && !ScreenBitmap_.IsEmpty()) RequestRepaint();
}

void TCustomTransitionView::SetStretch(bool v) {
  if (v == Stretch_) return;
  Stretch_ = v;
  if (!ScreenBitmap_.IsEmpty()) RequestRepaint();
}

void TCustomTransitionView::SetStretchFine(bool v) {
  if (v == StretchFine_) return;
  StretchFine_ = v;
  if (!ScreenBitmap_.IsEmpty()) RequestRepaint();
}

void TCustomTransitionView::SetBgMode(TBackgroundMode v) {
  if (v == BgMode_) return;
  BgMode_ = v;
  if (BgPicture_) RequestRepaint();
}

void TCustomTransitionView::SetColor(uint32_t colorRef) {
  if (colorRef == Color_) return;
  Color_ = colorRef;
  Invalidate();
}

void TCustomTransitionView::SetPicture(std::optional<Bitmap> picture) {
  Picture_ = std::move(picture);
  PictureChanged();
}

void TCustomTransitionView::SetBgPicture(std::optional<Bitmap> picture) {
  BgPicture_ = std::move(picture);
  BgPictureChanged();
}

void TCustomTransitionView::PictureChanged() {
  if (Destroying_) return;
  if (OnChange) OnChange();
}

void TCustomTransitionView::BgPictureChanged() {
  if (BgMode_ != TBackgroundMode::bmNone && !Painting_) Invalidate();
}

void TCustomTransitionView::SetStyle(TShowStyle v) {
  // The pixel styles need no other pixel format here: every bitmap keeps one
  // format, so a change while Busy only takes effect from the next frame.
  Style_ = v;
}

std::string TCustomTransitionView::StyleName() const { return StyleNameOf(Style_); }

void TCustomTransitionView::SetStyleName(const std::string& name) {
  const int style = StyleByName(name);
  if (style >= 0) SetStyle(static_cast<TShowStyle>(style));
}

void TCustomTransitionView::SetStep(uint16_t v) {
  if (v == 0) v = 1;
  if (v > 100) v = 100;
  Step_ = v;
}

// ------------------------------------------------------------- painting

void TCustomTransitionView::InvalidateArea(const Rect& area) {
  if (Destroying_) return;
  Window_.Invalidate(area);
}

void TCustomTransitionView::Update() { Window_.Update(); }

void TCustomTransitionView::WMSize() {
  if (Picture_ && !ScreenBitmap_.IsEmpty() && !Painting_) Invalidate();
}

void TCustomTransitionView::WMPaint(const Rect& invalid) {
  if (Painting_ || !Loop_.IsMainThread()) return;
  Painting_ = true;
  paintArea_ = invalid;
  try {
    Paint();
  } catch (...) {
    Painting_ = false;
    throw;
  }
  Painting_ = false;
}

void TCustomTransitionView::RenderPaintBuffer() {
  PaintBuffer_.Resize(ClientWidth(), ClientHeight());
  const Pixel colour = PixelFromColorRef(Color_);
  if (ScreenBitmap_.IsEmpty()) {
    FillRect(PaintBuffer_, PaintBuffer_.Bounds(), colour);
    return;
  }
  DrawBitmap(PaintBuffer_, 0, 0, ScreenBitmap_);
  // A view that grew shows its colour beside and below the frame until the
  // next transition composes one of the new size.
  const int w = ScreenBitmap_.Width(), h = ScreenBitmap_.Height();
  FillRect(PaintBuffer_, {w, 0, PaintBuffer_.Width(), PaintBuffer_.Height()}, colour);
  FillRect(PaintBuffer_, {0, h, std::min(w, PaintBuffer_.Width()), PaintBuffer_.Height()}, colour);
}

void TCustomTransitionView::Paint() {
  RenderPaintBuffer();
  Window_.Present(PaintBuffer_, paintArea_);
}

// ------------------------------------------------------------- composition

Rect TCustomTransitionView::FitRect(int pw, int ph, const Rect& bounds) {
  const int bw = bounds.Width(), bh = bounds.Height();
  if (pw <= 0 || ph <= 0) return bounds;
  int w, h;
  if (static_cast<double>(bh) / ph > static_cast<double>(bw) / pw) {
    w = bw;
    h = MulDiv(ph, bw, pw);
  } else {
    h = bh;
    w = MulDiv(pw, bh, ph);
  }
  return Rect{0, 0, w, h}.Offset(bounds.left + (bw - w) / 2, bounds.top + (bh - h) / 2);
}

void TCustomTransitionView::TileDraw(Bitmap& dst, const Rect& area, const Bitmap* graphic) {
  if (!graphic || graphic->IsEmpty()) return;
  const int gw = graphic->Width(), gh = graphic->Height();
  const int rows = area.Height() / gh + 1;
  const int columns = area.Width() / gw + 1;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      DrawBitmap(dst, area.left + column * gw, area.top + row * gh, *graphic);
}

void TCustomTransitionView::DrawCaption(Bitmap& image) {
  const FontSpec& font = CaptionFont_;
  const int W = image.Width(), H = image.Height();
  const int tw = TextWidth(font, ImageCaption_);
  const int size = font.sizePt;
  const int bottom = H - size - 16;  // the font's size in points, not its height
  int x, y;
  switch (CaptionPosition_) {
    case 0: x = 8; y = 8; break;
    case 1: x = (W - tw) / 2; y = 8; break;
    case 2: x = W - tw - 8; y = 8; break;
    case 3: x = 8; y = bottom; break;
    case 4: x = (W - tw) / 2; y = bottom; break;
    case 5: x = W - tw - 8; y = bottom; break;
    case 6: x = CaptionX_; y = CaptionY_; break;
    default:
      x = 10;
      y = CaptionPosition_ / 3 == 0 ? 8 : bottom;
      break;
  }
  if (ShowCaptionShadow_) {
    FontSpec shadow = font;
    shadow.color = 0x000000;
    DrawText(image, x + 1, y + 1, shadow, ImageCaption_);
  }
  DrawText(image, x, y, font, ImageCaption_);
}

Bitmap TCustomTransitionView::ComposeNewImage() {
  const int W = ClientWidth(), H = ClientHeight();
  const Rect client{0, 0, W, H};
  const Bitmap* picture = Picture_ ? &*Picture_ : nullptr;
  Rect dest{};
  if (!ClearOldImage_ && picture) {
    const int pw = picture->Width(), ph = picture->Height();
    PictureRect_ = {0, 0, pw, ph};
    if (Center_) PictureRect_ = PictureRect_.Offset((W - pw) / 2, (H - ph) / 2);
    if (!Stretch_)
      dest = PictureRect_;
    else if (!StretchFine_)
      dest = client;
    else
      dest = FitRect(pw, ph, client);  // always centred
  }

  Bitmap image(W, H);
  FillRect(image, client, PixelFromColorRef(Color_));
  if (BgPicture_ && !BgPicture_->IsEmpty()) {
    if (BgMode_ == TBackgroundMode::bmTiled)
      TileDraw(image, client, &*BgPicture_);
    else if (BgMode_ == TBackgroundMode::bmStretched)
      StretchCopy(image, client, *BgPicture_, BgPicture_->Bounds());
  }
  if (!ClearOldImage_) {
    if (picture && !picture->IsEmpty()) {
      if (dest.Width() == picture->Width() && dest.Height() == picture->Height())
        DrawBitmap(image, dest.left, dest.top, *picture);
      else
        StretchCopy(image, dest, *picture, picture->Bounds());
    }
    if (ShowCaption_) DrawCaption(image);
  }
  return image;
}

// ------------------------------------------------------------- frame host

void TCustomTransitionView::BeforeNewFrame() {
  if (OnBeforeNewFrame) OnBeforeNewFrame(*NewImage_, ScreenBitmap_);
}

void TCustomTransitionView::CustomDraw() {
  if (OnCustomDraw) OnCustomDraw(*NewImage_, ScreenBitmap_);
}

void TCustomTransitionView::AfterNewFrame() {
  if (OnAfterNewFrame) OnAfterNewFrame(*NewImage_, ScreenBitmap_);
}

void TCustomTransitionView::UpdateNow() {
  if (!Painting_) Update();
}

// ------------------------------------------------------------- engine

void TCustomTransitionView::FreeImages() {
  if (inFrame_) {
    freeAfterFrame_ = true;  // the frame being drawn still reads them
    return;
  }
  NewImage_.reset();
  OldImage_.reset();
}

void TCustomTransitionView::Execute() {
  if (Busy_ || !Picture_) return;
  Busy_ = true;
  ++run_;
  try {
    Prepare();
    if (OnStart) OnStart();
    if (!Manual_) Animate();
  } catch (...) {
    FreeImages();
    Busy_ = false;
    throw;
  }
}

void TCustomTransitionView::Prepare() {
  const int W = ClientWidth(), H = ClientHeight();
  swapEnded_ = false;
  ScreenBitmap_.Resize(W, H);
  // The old image is what the view last painted. A view that was never
  // painted at its present size gets that paint now, off screen.
  if (PaintBuffer_.Width() != W || PaintBuffer_.Height() != H) RenderPaintBuffer();
  OldImage_ = std::make_unique<Bitmap>(W, H);
  DrawBitmap(*OldImage_, 0, 0, PaintBuffer_);
  NewImage_ = std::make_unique<Bitmap>(ComposeNewImage());
  SetProgress(Reverse_ ? 100 : 0);
}

void TCustomTransitionView::SetProgress(int p) {
  p = std::clamp(p, 0, 100);
  if (!Busy_ || p == Progress_) return;
  if (!OldImage_ || !NewImage_) return;  // ended by a handler of this very frame
  if (p < Progress_ && !Painting_) InvalidateArea(ScreenBitmap_.Bounds());
  Progress_ = static_cast<uint8_t>(p);
  const uint8_t requested = Progress_;
  FrameState state;
  state.oldImage = OldImage_.get();
  state.newImage = NewImage_.get();
  state.screen = &ScreenBitmap_;
  state.style = Style_;
  state.progress = Progress_;
  state.step = Step_;
  const bool outer = !inFrame_;
  inFrame_ = true;
  try {
    DrawFrame(*this, state);
  } catch (...) {
    if (outer) {
      inFrame_ = false;
      if (freeAfterFrame_) {
        freeAfterFrame_ = false;
        FreeImages();
      }
    }
    throw;
  }
  if (outer) {
    inFrame_ = false;
    if (freeAfterFrame_) {
      freeAfterFrame_ = false;
      FreeImages();
    }
  }
  if (state.progress != requested) {
    // The swap style shows the new image whole and says so.
    Progress_ = state.progress;
    if (Reverse_) swapEnded_ = true;
  }
  if (!Destroying_ && OnProgress) OnProgress();
}

void TCustomTransitionView::AdvanceFrame() {
  int p = Progress_;
  if (!Reverse_) {
    p += Step_;
    if (p > 100) p = 100;
  } else {
    p -= Step_;
    if (p < 0) p = 0;
  }
  SetProgress(p);
}

bool TCustomTransitionView::AtEnd() const {
  if (swapEnded_) return true;
  return Reverse_ ? Progress_ == 0 : Progress_ == 100;
}

void TCustomTransitionView::Animate() {
  ++pacing_;
  if (Threaded_) {
    auto thread = std::make_unique<TAnimateThread>(*this);
    TAnimateThread* raw = thread.get();
    threads_.push_back(std::move(thread));
    // The thread may already have run its first frame; it never clears a
    // reference that is not its own.
    TAnimateThread* none = nullptr;
    Thread_.compare_exchange_strong(none, raw);
    return;
  }
  const uint64_t run = run_;
  // Still the same transition, and nothing asked the loop to leave it.
  auto going = [&] { return Busy_ && !Manual_ && !Stopping_ && run_ == run; };
  bool atEnd;
  do {
    const uint32_t t0 = Loop_.GetTickCount();
    AdvanceFrame();
    atEnd = AtEnd();
    if (!atEnd) {
      // Handle messages until the frame's time is up (while at most Delay has
      // passed). Between passes the loop waits for the next message or the
      // end of the frame's time, whichever comes first, so every message is
      // handled as soon as it arrives without keeping a processor busy.
      for (;;) {
        Loop_.ProcessMessages();
        if (!going()) break;
        const uint32_t elapsed = Loop_.GetTickCount() - t0;
        if (elapsed > Delay_) break;
        Loop_.WaitMessage(Delay_ - elapsed);
      }
    }
  } while (!atEnd && going());
  if (atEnd && Busy_ && run_ == run) Finish();
}

void TCustomTransitionView::Finish() {
  if (!Stopping_ && Manual_) return;  // a manual transition ends only through Stop
  if (!Busy_) return;                  // ended already
  Busy_ = false;
  FreeImages();
  if (!Destroying_ && OnComplete) OnComplete();
}

void TCustomTransitionView::Stop() {
  if (!Busy_ || Stopping_) return;
  Stopping_ = true;
  try {
    if (Thread_.load() && !Manual_)
      StopThread();
    else
      Finish();
  } catch (...) {
    Stopping_ = false;
    throw;
  }
  Stopping_ = false;
}

void TCustomTransitionView::StopThread() {
  TAnimateThread* thread = Thread_.load();
  if (!thread) return;
  thread->Terminate();
  // Called from a handler inside the thread's own frame step, the thread
  // cannot go on before this returns: it sees the request right after the
  // frame, and its end is handled as the loop gets to it.
  if (inThreadFrame_) return;
  do {
    Loop_.ProcessMessages();
  } while (Thread_.load());
}

void TCustomTransitionView::ThreadEnded(TAnimateThread* thread) {
  auto it = std::find_if(threads_.begin(), threads_.end(),
                         [thread](const auto& t) { return t.get() == thread; });
  if (it == threads_.end()) return;
  const bool current = (*it)->pacing_ == pacing_;
  (*it)->WaitFor();
  threads_.erase(it);
  if (current) Finish();
}

void TCustomTransitionView::SetManual(bool m) {
  if (m == Manual_) return;
  Manual_ = m;
  StopThread();
  if (!Busy_)
    Progress_ = Reverse_ ? 100 : 0;
  else if (!m)
    Animate();
}

}  // namespace ls
