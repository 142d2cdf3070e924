// Timers and the virtual clock of the headless loop.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/app/EventLoop.h"
#include "platform/app/headless/HeadlessLoop.h"

namespace ls {
namespace {

struct Clocked {
  HeadlessLoop loop;
  std::vector<uint32_t> fired;
  void Record() { fired.push_back(loop.GetTickCount()); }
};

TEST(LoopTimer, IntervalZeroNeverFires) {
  Clocked c;
  Timer t(c.loop);
  t.SetInterval(0);
  t.OnTimer = [&] { c.Record(); };
  t.SetEnabled(true);
  Timer end(c.loop);
  end.SetInterval(10000);
  end.OnTimer = [&] { c.loop.Terminate(); };
  end.SetEnabled(true);
  c.loop.Run();
  EXPECT_TRUE(c.fired.empty());
  EXPECT_EQ(c.loop.GetTickCount(), 10000u);
}

TEST(LoopTimer, FiresEveryIntervalAndTheClockJumpsBetween) {
  Clocked c;
  Timer t(c.loop);
  t.SetInterval(250);
  t.OnTimer = [&] { c.Record(); };
  t.SetEnabled(true);
  EXPECT_TRUE(c.loop.RunFor(1000));
  EXPECT_EQ(c.fired, (std::vector<uint32_t>{250, 500, 750, 1000}));
}

TEST(LoopTimer, OneShotHandlerDisablesAndReEnablingRestartsTheInterval) {
  Clocked c;
  Timer t(c.loop);
  t.SetInterval(100);
  t.OnTimer = [&] {
    t.SetEnabled(false);
    c.Record();
  };
  t.SetEnabled(true);
  c.loop.RunFor(1000);
  ASSERT_EQ(c.fired, (std::vector<uint32_t>{100}));
  // Enabled again at 1000: due 100 ms after that, not at the old rhythm.
  c.loop.Advance(30);
  t.SetEnabled(true);
  c.loop.RunFor(500);
  EXPECT_EQ(c.fired, (std::vector<uint32_t>{100, 1130}));
}

TEST(LoopTimer, HandlerCanDisableAndReEnableItself) {
  Clocked c;
  Timer t(c.loop);
  t.SetInterval(100);
  int n = 0;
  t.OnTimer = [&] {
    c.Record();
    t.SetEnabled(false);
    if (++n < 3) {
      t.SetInterval(50 * (n + 1));
      t.SetEnabled(true);
    }
  };
  t.SetEnabled(true);
  c.loop.RunFor(2000);
  EXPECT_EQ(c.fired, (std::vector<uint32_t>{100, 200, 350}));
}

TEST(LoopTimer, ChangingTheIntervalOfAnEnabledTimerRestartsIt) {
  Clocked c;
  Timer t(c.loop);
  t.SetInterval(100);
  t.OnTimer = [&] { c.Record(); };
  t.SetEnabled(true);
  c.loop.Advance(90);
  t.SetInterval(200);  // restarted at 90
  c.loop.RunFor(310);
  EXPECT_EQ(c.fired, (std::vector<uint32_t>{290}));
}

TEST(LoopTimer, EnablingAnEnabledTimerKeepsItsDueTime) {
  Clocked c;
  Timer t(c.loop);
  t.SetInterval(100);
  t.OnTimer = [&] { c.Record(); };
  t.SetEnabled(true);
  c.loop.Advance(60);
  t.SetEnabled(true);
  c.loop.RunFor(40);
  EXPECT_EQ(c.fired, (std::vector<uint32_t>{100}));
}

TEST(LoopTimer, ATimerDestroyedByAnEarlierHandlerOfTheSamePassDoesNotFire) {
  Clocked c;
  Timer killer(c.loop);  // registered first: first of two timers due together
  std::unique_ptr<Timer> victim = std::make_unique<Timer>(c.loop);
  killer.SetInterval(100);
  victim->SetInterval(100);
  killer.OnTimer = [&] {
    c.Record();
    victim.reset();
  };
  victim->OnTimer = [&] { c.Record(); };
  killer.SetEnabled(true);
  victim->SetEnabled(true);
  c.loop.RunFor(150);
  EXPECT_EQ(victim, nullptr);
  EXPECT_EQ(c.fired, (std::vector<uint32_t>{100}));
}

TEST(LoopTimer, ALateTimerFiresOnceNotOncePerMissedInterval) {
  Clocked c;
  Timer t(c.loop);
  t.SetInterval(10);
  t.OnTimer = [&] { c.Record(); };
  t.SetEnabled(true);
  c.loop.Sleep(95);  // the main thread is busy: nothing fires meanwhile
  c.loop.ProcessMessages();
  EXPECT_EQ(c.fired, (std::vector<uint32_t>{95}));
  c.loop.RunFor(10);
  EXPECT_EQ(c.fired, (std::vector<uint32_t>{95, 105}));
}

TEST(LoopClock, WrapOfTheTickCountIsHarmless) {
  HeadlessLoop loop(0xFFFFFF00u);
  std::vector<uint32_t> fired;
  Timer t(loop);
  t.SetInterval(0x180);  // due after the wrap
  t.OnTimer = [&] {
    fired.push_back(loop.GetTickCount());
    t.SetEnabled(false);
  };
  t.SetEnabled(true);
  Timer other(loop);
  other.SetInterval(0x80);  // due before the wrap: must come first
  other.OnTimer = [&] {
    fired.push_back(loop.GetTickCount());
    other.SetEnabled(false);
  };
  other.SetEnabled(true);
  loop.RunFor(0x400);
  EXPECT_EQ(fired, (std::vector<uint32_t>{0xFFFFFF80u, 0x80u}));

  // A busy wait on unsigned differences ends across the wrap too.
  HeadlessLoop w(0xFFFFFFF0u);
  const uint32_t t0 = w.GetTickCount();
  int passes = 0;
  while (w.GetTickCount() - t0 <= 40u) {
    w.ProcessMessages();
    ++passes;
  }
  EXPECT_EQ(passes, 41);
  EXPECT_EQ(w.GetTickCount(), 0x19u);
}

}  // namespace
}  // namespace ls
