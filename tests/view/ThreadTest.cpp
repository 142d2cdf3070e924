// Threaded pacing: on the real loop and in virtual time, stopping, holding
// and destroying the view while the thread runs.
#include <memory>

#include "ViewFixture.h"
#include "platform/app/Backend.h"

namespace ls::test {
namespace {

// A window in memory on any loop (the SDL loop here, without a display).
class MemoryWindow : public Window {
 public:
  MemoryWindow(EventLoop& loop, int w, int h) : Window(loop), screen_(w, h) {}
  void Show() override { InvalidateAll(); }
  void Hide() override {}
  bool Visible() const override { return true; }
  int ClientWidth() const override { return screen_.Width(); }
  int ClientHeight() const override { return screen_.Height(); }
  void Present(const Bitmap& frame, const Rect& area) override {
    const Rect r = area.Intersect(frame.Bounds());
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) screen_.Set(x, y, frame.At(x, y));
  }
  Point CursorPos() const override { return {}; }
  void ShowCursor(bool) override {}
  const Bitmap& Screen() const { return screen_; }

 private:
  Bitmap screen_;
};

Bitmap Gradient(int w, int h, int seed) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Set(x, y, static_cast<Pixel>((x * 7 + y * 13 + seed) * 0x010203));
  return b;
}

struct Recorded {
  std::vector<int> positions;
  std::vector<Bitmap> frames;
  bool complete = false;
};

// Runs one transition old -> new with the given pacing; returns its frames.
Recorded RunOnce(EventLoop& loop, Window& window, TShowStyle style, bool threaded) {
  TTransitionView view(window);
  Recorded rec;
  view.SetPicture(Gradient(64, 48, 1));
  view.SetStep(100);
  view.Execute();  // the old picture
  view.SetPicture(Gradient(64, 48, 2));
  view.SetStyle(style);
  view.SetStep(10);
  view.SetDelay(2);
  view.SetThreaded(threaded);
  view.OnProgress = [&] {
    rec.positions.push_back(view.Progress());
    rec.frames.push_back(view.ScreenBitmap());
  };
  view.OnComplete = [&] {
    rec.complete = true;
    loop.Terminate();
  };
  view.Execute();
  if (threaded) {
    EXPECT_TRUE(view.Busy());  // Execute returned once the thread ran
    view.Execute();            // ignored while the thread runs
    loop.ResetTerminated();
    loop.Run();
  }
  EXPECT_FALSE(view.Busy());
  return rec;
}

TEST(ThreadedView, RunOnTheRealLoopHasTheFramesOfTheMainThreadRun) {
  std::unique_ptr<EventLoop> realLoop = CreateEventLoop(BackendKind::kNative);
  EventLoop& loop = *realLoop;
  MemoryWindow window(loop, 64, 48);
  window.Show();
  for (TShowStyle style : {TShowStyle{5}, TShowStyle{60}, TShowStyle{118}}) {
    const Recorded direct = RunOnce(loop, window, style, false);
    const Recorded threaded = RunOnce(loop, window, style, true);
    EXPECT_TRUE(direct.complete);
    EXPECT_TRUE(threaded.complete);
    EXPECT_EQ(threaded.positions, direct.positions) << "style " << int(style);
    ASSERT_EQ(threaded.frames.size(), direct.frames.size());
    for (size_t i = 0; i < direct.frames.size(); ++i)
      EXPECT_TRUE(threaded.frames[i] == direct.frames[i]) << "style " << int(style) << " frame " << i;
    EXPECT_EQ(window.Screen(), direct.frames.back());
  }
}

TEST(ThreadedView, DestroyedMidRunWaitsForTheThreadAndFiresNothingMore) {
  std::unique_ptr<EventLoop> realLoop = CreateEventLoop(BackendKind::kNative);
  EventLoop& loop = *realLoop;
  MemoryWindow window(loop, 64, 48);
  auto view = std::make_unique<TTransitionView>(window);
  int completes = 0, progress = 0;
  view->SetPicture(Gradient(64, 48, 3));
  view->SetStyle(5);
  view->SetStep(5);
  view->SetDelay(3);
  view->SetThreaded(true);
  view->OnComplete = [&] { ++completes; };
  view->OnProgress = [&] {
    if (++progress == 5) loop.Post([&] { view.reset(); });
  };
  view->Execute();
  Timer after(loop);
  after.SetInterval(100);  // time for a stray end of run to show up
  after.OnTimer = [&] { loop.Terminate(); };
  after.SetEnabled(true);
  loop.Run();
  EXPECT_EQ(view, nullptr);
  EXPECT_EQ(completes, 0);
  EXPECT_GE(progress, 5);
  EXPECT_LT(progress, 20);
}

TEST(ThreadedView, StopEndsTheRunAndKeepsItsFrame) {
  std::unique_ptr<EventLoop> realLoop = CreateEventLoop(BackendKind::kNative);
  EventLoop& loop = *realLoop;
  MemoryWindow window(loop, 64, 48);
  TTransitionView view(window);
  int completes = 0;
  view.SetPicture(Gradient(64, 48, 4));
  view.SetStyle(5);
  view.SetStep(10);
  view.SetDelay(2);
  view.SetThreaded(true);
  view.OnComplete = [&] {
    ++completes;
    loop.Terminate();
  };
  // From inside the thread's own frame step: the thread ends right after it.
  view.OnProgress = [&] {
    if (view.Progress() == 50) view.Stop();
  };
  view.Execute();
  loop.Run();
  EXPECT_EQ(completes, 1);
  EXPECT_FALSE(view.Busy());
  EXPECT_EQ(view.Progress(), 50);

  // From outside (a posted call): Stop waits for the thread.
  view.OnProgress = [&] {
    if (view.Progress() == 30) loop.Post([&] { view.Stop(); });
  };
  loop.ResetTerminated();
  view.Execute();
  loop.Run();
  EXPECT_EQ(completes, 2);
  EXPECT_FALSE(view.Busy());
  EXPECT_GE(view.Progress(), 30);
  EXPECT_LT(view.Progress(), 100);
}

TEST(ThreadedView, ManualHoldsTheThreadedRunAndClearingItGoesOnInAThread) {
  std::unique_ptr<EventLoop> realLoop = CreateEventLoop(BackendKind::kNative);
  EventLoop& loop = *realLoop;
  MemoryWindow window(loop, 64, 48);
  TTransitionView view(window);
  std::vector<int> positions;
  view.SetPicture(Gradient(64, 48, 5));
  view.SetStyle(5);
  view.SetStep(25);
  view.SetDelay(1);
  view.SetThreaded(true);
  bool held = false;
  view.OnProgress = [&] {
    positions.push_back(view.Progress());
    if (view.Progress() == 50 && !held) {
      held = true;
      loop.Post([&] {
        view.SetManual(true);
        loop.Terminate();
      });
    }
  };
  view.OnComplete = [&] { loop.Terminate(); };
  view.Execute();
  loop.Run();
  EXPECT_TRUE(view.Busy());
  EXPECT_TRUE(view.Manual());
  const int heldAt = view.Progress();
  EXPECT_GE(heldAt, 50);
  loop.ResetTerminated();
  loop.Post([&] { view.SetManual(false); });
  loop.Run();
  EXPECT_FALSE(view.Busy());
  EXPECT_EQ(positions.back(), 100);
}

TEST_F(ViewTest, ThreadedRunInVirtualTimeKeepsItsPace) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  view.SetDelay(40);
  view.SetThreaded(true);
  view.SetThreadPriority(TThreadPriority::tpLower);
  view.OnComplete = [&] {
    log.push_back("complete");
    loop.Terminate();
  };
  view.OnBeforeNewFrame = nullptr;
  view.OnAfterNewFrame = nullptr;
  const uint32_t t0 = loop.GetTickCount();
  view.Execute();
  loop.Run();
  EXPECT_EQ(log, (std::vector<std::string>{"start", "progress 25", "progress 50", "progress 75",
                                           "progress 100", "complete"}));
  EXPECT_EQ(frameTicks, (std::vector<uint32_t>{t0, t0 + 40, t0 + 80, t0 + 120}));
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, kRed));
}

}  // namespace
}  // namespace ls::test
