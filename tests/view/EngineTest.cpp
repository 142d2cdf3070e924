// The animation engine in virtual time: frames, events, pacing, stopping,
// manual mode, reverse runs and failures.
#include <stdexcept>

#include "ViewFixture.h"

namespace ls::test {
namespace {

std::vector<std::string> Frame(int p) {
  return {"before " + std::to_string(p), "after " + std::to_string(p),
          "progress " + std::to_string(p)};
}

std::vector<std::string> ExpectedRun(std::initializer_list<int> positions, bool reset = false,
                             int resetAt = 0) {
  std::vector<std::string> out;
  if (reset) out = Frame(resetAt);
  out.push_back("start");
  for (int p : positions)
    for (auto& e : Frame(p)) out.push_back(e);
  out.push_back("complete");
  return out;
}

TEST_F(ViewTest, FirstTransitionHasNoResetFrameAndFramesComeDelayApart) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  view.SetDelay(40);
  const uint32_t t0 = loop.GetTickCount();
  view.Execute();
  EXPECT_EQ(log, ExpectedRun({25, 50, 75, 100}));
  EXPECT_FALSE(view.Busy());
  EXPECT_EQ(view.OldImage(), nullptr);
  EXPECT_EQ(view.NewImage(), nullptr);
  // The wait runs while at most Delay has passed: each frame is Delay + 1
  // virtual milliseconds after the one before, the first at once.
  EXPECT_EQ(frameTicks, (std::vector<uint32_t>{t0, t0 + 41, t0 + 82, t0 + 123}));
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, kRed));
}

TEST_F(ViewTest, SecondTransitionDrawsAResetFrameOfTheOldImageBeforeStart) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(50);
  view.Execute();
  log.clear();
  view.SetPicture(Solid(W, H, kBlue));
  bool resetShowsOld = false;
  view.OnAfterNewFrame = [&](const Bitmap&, Bitmap& screen) {
    log.push_back("after " + std::to_string(view.Progress()));
    if (view.Progress() == 0) resetShowsOld = AllPixels(screen, {0, 0, W, H}, kRed);
  };
  Rect invalidAtReset;
  view.OnProgress = [&] {
    if (view.Progress() == 0) invalidAtReset = window.InvalidArea();
    log.push_back("progress " + std::to_string(view.Progress()));
  };
  view.Execute();
  EXPECT_EQ(log, ExpectedRun({50, 100}, true, 0));
  EXPECT_TRUE(resetShowsOld);
  // The reset frame repainted at once; the whole view had been invalidated.
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, kBlue));
  (void)invalidAtReset;
}

TEST_F(ViewTest, StepSetsTheFramePositions) {
  struct Case {
    uint16_t step;
    std::vector<int> positions;
  };
  const Case cases[] = {
      {100, {100}},
      {3, {}},
      {40, {40, 80, 100}},
  };
  for (const Case& c : cases) {
    TTransitionView v(window);
    std::vector<int> seen;
    v.OnProgress = [&] { seen.push_back(v.Progress()); };
    v.SetPicture(Solid(W, H, kGreen));
    v.SetStyle(kRevealFromLeft);
    v.SetStep(c.step);
    v.Execute();
    std::vector<int> expected = c.positions;
    if (c.step == 3) {
      for (int p = 3; p <= 99; p += 3) expected.push_back(p);
      expected.push_back(100);
    }
    EXPECT_EQ(seen, expected) << "step " << c.step;
    EXPECT_TRUE(AllPixels(v.ScreenBitmap(), {0, 0, W, H}, kGreen));
  }
}

TEST_F(ViewTest, StepAndStyleNameSetters) {
  const std::pair<uint16_t, uint16_t> steps[] = {{0, 1}, {1, 1}, {100, 100}, {101, 100}, {65535, 100}};
  for (auto [in, out] : steps) {
    view.SetStep(in);
    EXPECT_EQ(view.Step(), out) << in;
  }
  view.SetStyleName("fADE");
  EXPECT_EQ(view.Style(), 118);
  view.SetStyleName("no such transition");
  EXPECT_EQ(view.Style(), 118);
  view.SetStyleName("Expand from bottom");  // 18 and 33 share the name
  EXPECT_EQ(view.Style(), 18);
  view.SetStyle(33);
  EXPECT_EQ(view.StyleName(), "Expand from bottom");
  view.SetStyle(200);  // any byte is stored
  EXPECT_EQ(view.Style(), 200);
  EXPECT_EQ(view.StyleName(), "");
}

TEST_F(ViewTest, DelayZeroStillHandlesMessagesUntilTheClockMoved) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  view.SetDelay(0);
  int posted = 0;
  view.OnProgress = [&] {
    frameTicks.push_back(loop.GetTickCount());
    loop.Post([&] { ++posted; });
  };
  view.Execute();
  // Each frame's post was handled before the next frame; none waits after
  // the last one.
  EXPECT_EQ(posted, 3);
  ASSERT_EQ(frameTicks.size(), 4u);
  for (size_t i = 1; i < frameTicks.size(); ++i) EXPECT_EQ(frameTicks[i] - frameTicks[i - 1], 1u);
  EXPECT_EQ(loop.GetTickCount(), frameTicks.back());
  loop.ProcessMessages();
  EXPECT_EQ(posted, 4);
}

TEST_F(ViewTest, TimerAndInputDuringATransitionAreHandledBetweenFrames) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  view.SetDelay(40);
  const uint32_t t0 = loop.GetTickCount();
  Timer timer(loop);
  timer.SetInterval(60);
  timer.OnTimer = [&] {
    timer.SetEnabled(false);
    log.push_back("timer " + std::to_string(loop.GetTickCount() - t0));
    view.Execute();  // ignored: a transition runs
  };
  timer.SetEnabled(true);
  window.handlers.onKeyDown = [&](int code, bool) {
    log.push_back("key " + std::to_string(code) + " " + std::to_string(loop.GetTickCount() - t0));
  };
  window.Schedule({t0 + 100, ScriptedInput::Kind::kKey, 27});
  view.OnBeforeNewFrame = nullptr;
  view.OnAfterNewFrame = nullptr;
  view.Execute();
  EXPECT_EQ(log, (std::vector<std::string>{"start", "progress 25", "progress 50", "timer 60",
                                           "progress 75", "key 27 100", "progress 100",
                                           "complete"}));
}

TEST_F(ViewTest, StopHalfWayKeepsTheFrameAndTheNextTransitionStartsFromIt) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  view.OnBeforeNewFrame = nullptr;
  view.OnAfterNewFrame = nullptr;
  view.OnProgress = [&] {
    log.push_back("progress " + std::to_string(view.Progress()));
    if (view.Progress() == 50) view.Stop();
  };
  view.Execute();
  EXPECT_EQ(log, (std::vector<std::string>{"start", "progress 25", "progress 50", "complete"}));
  EXPECT_FALSE(view.Busy());
  EXPECT_EQ(view.NewImage(), nullptr);
  const Bitmap& screen = window.Screen();
  EXPECT_TRUE(AllPixels(screen, {0, 0, W / 2, H}, kRed));
  EXPECT_TRUE(AllPixels(screen, {W / 2, 0, W, H}, PixelFromColorRef(view.Color())));

  const Bitmap half = view.ScreenBitmap();
  view.SetPicture(Solid(W, H, kBlue));
  bool oldIsHalf = false;
  view.OnStart = [&] { oldIsHalf = view.OldImage() && *view.OldImage() == half; };
  view.OnProgress = nullptr;
  view.Execute();
  EXPECT_TRUE(oldIsHalf);
  view.Stop();  // nothing runs: nothing happens
  EXPECT_FALSE(view.Busy());
}

TEST_F(ViewTest, ManualModeIsDrivenByProgressAndEndsOnlyByStop) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetManual(true);
  view.Execute();
  EXPECT_EQ(log, (std::vector<std::string>{"start"}));
  EXPECT_TRUE(view.Busy());
  view.SetProgress(50);
  EXPECT_EQ(log.back(), "progress 50");
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W / 2, H}, kRed));
  EXPECT_FALSE(AllPixels(window.Screen(), {W / 2, 0, W, H}, kRed));
  view.SetProgress(100);
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, kRed));
  EXPECT_TRUE(view.Busy());
  EXPECT_EQ(log.back(), "progress 100");
  view.SetProgress(100);  // the same position: nothing
  view.SetProgress(250);  // clamped to 100: nothing
  EXPECT_EQ(log.back(), "progress 100");
  view.Stop();
  EXPECT_EQ(log.back(), "complete");
  EXPECT_FALSE(view.Busy());
  log.clear();
  view.SetProgress(30);  // no transition: not stored, nothing drawn
  EXPECT_EQ(view.Progress(), 100);
  EXPECT_TRUE(log.empty());
}

TEST_F(ViewTest, ManualSetDuringARunHoldsItAndClearingItGoesOn) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  view.OnBeforeNewFrame = nullptr;
  view.OnAfterNewFrame = nullptr;
  Timer later(loop);
  later.SetInterval(500);
  view.OnProgress = [&] {
    log.push_back("progress " + std::to_string(view.Progress()));
    if (view.Progress() == 50) view.SetManual(true);
  };
  view.Execute();
  EXPECT_EQ(log, (std::vector<std::string>{"start", "progress 25", "progress 50"}));
  EXPECT_TRUE(view.Busy());
  EXPECT_NE(view.NewImage(), nullptr);
  view.OnProgress = [&] { log.push_back("progress " + std::to_string(view.Progress())); };
  view.SetManual(false);  // the loop goes on from 50
  EXPECT_EQ(log, (std::vector<std::string>{"start", "progress 25", "progress 50", "progress 75",
                                           "progress 100", "complete"}));
  EXPECT_FALSE(view.Busy());
}

TEST_F(ViewTest, ManualSetWhileIdleMovesProgressToTheStartWithoutDrawing) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStep(100);
  view.SetStyle(kRevealFromLeft);
  view.Execute();  // Progress 100
  log.clear();
  const int presents = window.PresentCount();
  view.SetManual(true);
  EXPECT_EQ(view.Progress(), 0);
  view.SetManual(false);
  view.SetReverse(true);
  view.SetManual(true);
  EXPECT_EQ(view.Progress(), 100);
  EXPECT_TRUE(log.empty());
  loop.ProcessMessages();
  EXPECT_EQ(window.PresentCount(), presents);
}

TEST_F(ViewTest, ReverseRunStartsWithTheNewImageAndEndsWithTheOld) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  view.SetReverse(true);
  bool resetShowsNew = false;
  view.OnAfterNewFrame = [&](const Bitmap&, Bitmap& screen) {
    log.push_back("after " + std::to_string(view.Progress()));
    if (view.Progress() == 100) resetShowsNew = AllPixels(screen, {0, 0, W, H}, kRed);
  };
  view.Execute();
  EXPECT_EQ(log, ExpectedRun({75, 50, 25, 0}, true, 100));
  EXPECT_TRUE(resetShowsNew);
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, PixelFromColorRef(view.Color())));
}

TEST_F(ViewTest, SwapStyleChangesAtOnceAndEndsAfterOneFrameEitherWay) {
  for (bool reverse : {false, true}) {
    TTransitionView v(window);
    std::vector<int> seen;
    bool complete = false;
    v.OnProgress = [&] { seen.push_back(v.Progress()); };
    v.OnComplete = [&] { complete = true; };
    v.SetPicture(Solid(W, H, kGreen));
    v.SetStep(4);
    v.SetReverse(reverse);
    v.Execute();
    EXPECT_TRUE(complete) << reverse;
    EXPECT_FALSE(v.Busy());
    // Forward: one frame, moved to 100. Reverse: the reset frame at 100,
    // then one frame that the swap moves back to 100.
    EXPECT_EQ(seen, reverse ? (std::vector<int>{100, 100}) : (std::vector<int>{100})) << reverse;
    EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, kGreen));
  }
}

TEST_F(ViewTest, CustomDrawDrawsEveryFrameOfStyleZero) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStep(50);
  std::vector<int> drawn;
  view.OnCustomDraw = [&](const Bitmap& picture, Bitmap& screen) {
    drawn.push_back(view.Progress());
    EXPECT_EQ(picture.At(0, 0), kRed);
    screen.Set(0, 0, kGreen);
  };
  view.Execute();
  EXPECT_EQ(drawn, (std::vector<int>{50, 100}));
  // Step 6 of the frame puts the new image whole at 100.
  EXPECT_EQ(window.Screen().At(0, 0), kRed);
}

TEST_F(ViewTest, StyleAbove127RunsAllFramesButShowsOnlyTheOldImage) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(200);
  view.SetStep(25);
  view.OnBeforeNewFrame = nullptr;
  view.OnAfterNewFrame = nullptr;
  view.Execute();
  EXPECT_EQ(log, (std::vector<std::string>{"start", "progress 25", "progress 50", "progress 75",
                                           "progress 100", "complete"}));
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, PixelFromColorRef(view.Color())));
}

TEST_F(ViewTest, PictureChangeDuringARunFiresOnChangeButKeepsTheRunningImage) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  int changes = 0;
  view.OnChange = [&] { ++changes; };
  view.OnProgress = [&] {
    if (view.Progress() == 50) view.SetPicture(Solid(W, H, kBlue));
  };
  view.Execute();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, kRed));
  view.SetPicture(std::nullopt);  // emptied: OnChange, and Execute does nothing
  EXPECT_EQ(changes, 2);
  log.clear();
  view.Execute();
  EXPECT_TRUE(log.empty());
}

TEST_F(ViewTest, AnEmptyBitmapStillHoldsAGraphic) {
  view.SetPicture(Bitmap());
  view.SetStep(100);
  view.SetStyle(kRevealFromLeft);
  view.Execute();
  EXPECT_EQ(log.front(), "start");
  EXPECT_EQ(log.back(), "complete");
}

TEST_F(ViewTest, ExceptionFromOnStartFreesTheImagesAndPassesOn) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.OnStart = [] { throw std::runtime_error("handler failed"); };
  EXPECT_THROW(view.Execute(), std::runtime_error);
  EXPECT_FALSE(view.Busy());
  EXPECT_EQ(view.OldImage(), nullptr);
  EXPECT_EQ(view.NewImage(), nullptr);
  EXPECT_EQ(std::count(log.begin(), log.end(), "complete"), 0);
  view.OnStart = nullptr;
  view.SetStep(100);
  view.Execute();
  EXPECT_EQ(log.back(), "complete");
}

TEST_F(ViewTest, ExceptionFromAHandlerDuringTheWaitEndsTheRunWithoutComplete) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  loop.Post([] { throw std::logic_error("timer handler failed"); });
  EXPECT_THROW(view.Execute(), std::logic_error);
  EXPECT_FALSE(view.Busy());
  EXPECT_EQ(std::count(log.begin(), log.end(), "complete"), 0);
}

TEST_F(ViewTest, StopFromAFrameHandlerDoesNotFreeTheImagesUnderTheFrame) {
  view.SetPicture(Solid(W, H, kRed));
  view.SetStyle(kRevealFromLeft);
  view.SetStep(25);
  view.OnBeforeNewFrame = [&](const Bitmap&, Bitmap&) {
    if (view.Progress() == 50) view.Stop();
  };
  view.Execute();  // under the sanitizers a freed image would be caught here
  EXPECT_FALSE(view.Busy());
  EXPECT_EQ(view.NewImage(), nullptr);
  EXPECT_EQ(std::count(log.begin(), log.end(), "complete"), 1);
}

}  // namespace
}  // namespace ls::test
