// The loop's passes, posted calls, Synchronize and the headless window.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/app/Backend.h"
#include "platform/app/EventLoop.h"
#include "platform/app/headless/HeadlessLoop.h"
#include "platform/app/headless/HeadlessWindow.h"

namespace ls {
namespace {

TEST(Loop, ProcessMessagesHandlesEverythingPendingAndMovesTheClockByOne) {
  HeadlessLoop loop;
  std::vector<std::string> log;
  loop.Post([&] {
    log.push_back("a");
    loop.Post([&] { log.push_back("c"); });  // posted during the pass: next pass, same call
  });
  loop.Post([&] { log.push_back("b"); });
  loop.ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(loop.GetTickCount(), 1u);
  loop.ProcessMessages();  // nothing pending: still one pass, one millisecond
  EXPECT_EQ(loop.GetTickCount(), 2u);
}

TEST(Loop, WaitMessageEndsAtTheDeadlineOrWhenSomethingComesDue) {
  HeadlessLoop loop;
  loop.WaitMessage(40);
  EXPECT_EQ(loop.GetTickCount(), 40u);
  Timer t(loop);
  t.SetInterval(15);
  t.SetEnabled(true);  // due at 55
  loop.WaitMessage(40);
  EXPECT_EQ(loop.GetTickCount(), 55u);
  HeadlessWindow window(loop, 4, 4);
  window.Schedule({60, ScriptedInput::Kind::kClick});
  t.SetEnabled(false);
  loop.WaitMessage(100);
  EXPECT_EQ(loop.GetTickCount(), 60u);
  loop.Post([] {});
  loop.WaitMessage(100);  // a call is pending: no wait
  EXPECT_EQ(loop.GetTickCount(), 60u);
}

TEST(Loop, ExceptionLeavesProcessMessagesButNotRun) {
  HeadlessLoop loop;
  loop.Post([] { throw std::runtime_error("boom"); });
  EXPECT_THROW(loop.ProcessMessages(), std::runtime_error);

  int seen = 0;
  loop.OnException = [&](std::exception_ptr) { ++seen; };
  loop.Post([] { throw std::runtime_error("boom"); });
  bool after = false;
  loop.Post([&] {
    after = true;
    loop.Terminate();
  });
  loop.Run();
  EXPECT_EQ(seen, 1);
  EXPECT_TRUE(after);
}

TEST(Loop, TerminateEndsRunAndRunReturnsAtOnceWhenTerminated) {
  HeadlessLoop loop;
  int calls = 0;
  loop.Post([&] {
    ++calls;
    loop.Terminate();
  });
  loop.Post([&] { ++calls; });  // same pass: still handled
  loop.Run();
  EXPECT_TRUE(loop.Terminated());
  loop.Post([&] { ++calls; });
  loop.Run();
  EXPECT_EQ(calls, 2);
  loop.ResetTerminated();
  EXPECT_FALSE(loop.Terminated());
}

TEST(Loop, SynchronizeRunsOnTheMainThreadAndWaits) {
  HeadlessLoop loop;
  std::atomic<bool> onMain{false};
  std::atomic<int> order{0};
  int seenByWorker = -1;
  bool workerSawException = false;
  std::thread worker([&] {
    loop.Synchronize([&] {
      onMain = loop.IsMainThread();
      order = 1;
    });
    seenByWorker = order.load();  // the call has run before Synchronize returns
    try {
      loop.Synchronize([] { throw std::runtime_error("in handler"); });
    } catch (const std::runtime_error&) {
      workerSawException = true;
    }
    loop.Post([&] { loop.Terminate(); });
  });
  loop.Run();  // nothing due: blocks until the worker posts
  worker.join();
  EXPECT_TRUE(onMain);
  EXPECT_EQ(seenByWorker, 1);
  EXPECT_TRUE(workerSawException);
  EXPECT_FALSE(loop.IsMainThread() == false);
}

TEST(Loop, SynchronizeOnTheMainThreadRunsAtOnce) {
  HeadlessLoop loop;
  bool ran = false;
  loop.Synchronize([&] { ran = true; });
  EXPECT_TRUE(ran);
}

// Shows whether calls are queued, so a test can wait for a worker's call.
struct ProbeLoop : HeadlessLoop {
  using EventLoop::HasPostedCalls;
};

TEST(Loop, SynchronizeReturnsWhenTheLoopGoesAwayFirst) {
  auto owner = std::make_unique<ProbeLoop>();
  ProbeLoop* loop = owner.get();
  std::atomic<bool> ran{false}, returned{false};
  std::thread worker([&] {
    loop->Synchronize([&] { ran = true; });
    returned = true;
  });
  while (!loop->HasPostedCalls()) std::this_thread::yield();
  owner.reset();  // the queued call is never handled
  worker.join();
  EXPECT_TRUE(returned);
  EXPECT_FALSE(ran);
}

TEST(HeadlessLoop, WorkerSleepFollowsTheVirtualClock) {
  HeadlessLoop loop(1000);
  std::vector<uint32_t> ticks;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      loop.Synchronize([&] { ticks.push_back(loop.GetTickCount()); });
      loop.Sleep(40);
    }
    loop.Post([&] { loop.Terminate(); });
  });
  loop.Run();
  worker.join();
  EXPECT_EQ(ticks, (std::vector<uint32_t>{1000, 1040, 1080}));
  EXPECT_EQ(loop.GetTickCount(), 1120u);
}

TEST(HeadlessLoop, RunUntilStopsWhenDoneOrAtTheLimit) {
  HeadlessLoop loop;
  Timer t(loop);
  t.SetInterval(300);
  int n = 0;
  t.OnTimer = [&] { ++n; };
  t.SetEnabled(true);
  EXPECT_TRUE(loop.RunUntil([&] { return n == 2; }, 10000));
  EXPECT_EQ(loop.GetTickCount(), 600u);
  EXPECT_FALSE(loop.RunUntil([] { return false; }, 1000));
  EXPECT_EQ(loop.GetTickCount(), 1600u);
}

struct ParseCase {
  const char* text;
  bool ok;
  std::vector<ScriptedInput> events;
};

TEST(InputScript, Parses) {
  using K = ScriptedInput::Kind;
  const ParseCase cases[] = {
      {"", true, {}},
      {"1500:key:27", true, {{1500, K::kKey, 27}}},
      {"10:click; 20:move:5,-7 ;30:deactivate;", true,
       {{10, K::kClick}, {20, K::kMove, 0, false, 5, -7}, {30, K::kDeactivate}}},
      {"10:key", false, {}},
      {"10:key:300", false, {}},
      {"x:click", false, {}},
      {"10:move:5", false, {}},
      {"10:wiggle", false, {}},
      {"10:click:1", false, {}},
  };
  for (const ParseCase& c : cases) {
    std::string error;
    auto parsed = ParseInputScript(c.text, &error);
    ASSERT_EQ(parsed.has_value(), c.ok) << c.text;
    if (c.ok)
      EXPECT_EQ(*parsed, c.events) << c.text;
    else
      EXPECT_FALSE(error.empty()) << c.text;
  }
}

TEST(HeadlessWindow, ScriptedInputArrivesAtItsTimeBetweenTimers) {
  HeadlessLoop loop;
  HeadlessWindow window(loop, 640, 480);
  EXPECT_EQ(window.CursorPos(), (Point{320, 240}));
  std::vector<std::string> log;
  auto at = [&](const std::string& what) {
    log.push_back(std::to_string(loop.GetTickCount()) + " " + what);
  };
  window.handlers.onKeyDown = [&](int code, bool) { at("key " + std::to_string(code)); };
  window.handlers.onClick = [&] { at("click"); };
  window.handlers.onMouseMove = [&](int x, int y) {
    at("move " + std::to_string(x) + "," + std::to_string(y) + " cursor " +
       std::to_string(window.CursorPos().x));
  };
  window.handlers.onDeactivate = [&] { at("deactivate"); };
  Timer t(loop);
  t.SetInterval(100);
  t.OnTimer = [&] { at("timer"); };
  t.SetEnabled(true);
  window.Schedule(*ParseInputScript("150:key:65;50:deactivate;250:move:400,10;250:click"));
  window.Show();  // activation comes after the deactivation at 50? no: Show is now (0)
  loop.RunFor(260);
  EXPECT_EQ(log, (std::vector<std::string>{"50 deactivate", "100 timer", "150 key 65",
                                           "200 timer", "250 move 400,10 cursor 400",
                                           "250 click"}));
}

TEST(HeadlessWindow, DeactivationCountsOnlyAfterActivation) {
  HeadlessLoop loop;
  HeadlessWindow window(loop, 10, 10);
  int deactivations = 0;
  window.handlers.onDeactivate = [&] { ++deactivations; };
  window.Deliver({0, ScriptedInput::Kind::kDeactivate});
  EXPECT_EQ(deactivations, 0);
  window.Show();
  window.Deliver({0, ScriptedInput::Kind::kDeactivate});
  EXPECT_EQ(deactivations, 1);
}

TEST(HeadlessWindow, InvalidAreaIsPaintedByTheLoopAndPresentedToTheScreen) {
  HeadlessLoop loop;
  HeadlessWindow window(loop, 8, 6);
  Bitmap frame(8, 6);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) frame.Set(x, y, 0x010000u * x + y);
  std::vector<Rect> painted;
  window.handlers.onPaint = [&](const Rect& r) {
    painted.push_back(r);
    window.Present(frame, r);
  };
  window.Invalidate({1, 1, 3, 2});
  window.Invalidate({2, 3, 4, 5});
  window.Invalidate({-5, -5, 0, 0});  // outside: nothing
  EXPECT_EQ(window.InvalidArea(), (Rect{1, 1, 4, 5}));
  loop.ProcessMessages();
  ASSERT_EQ(painted, (std::vector<Rect>{{1, 1, 4, 5}}));
  EXPECT_FALSE(window.NeedsPaint());
  EXPECT_EQ(window.Screen().At(3, 4), frame.At(3, 4));
  EXPECT_EQ(window.Screen().At(0, 0), 0u);  // never presented
  EXPECT_EQ(window.Screen().At(4, 4), 0u);
  window.Update();  // nothing invalid: no paint
  EXPECT_EQ(painted.size(), 1u);
}

TEST(HeadlessWindow, ThePaintComesAfterPostedCallsAndTimersOfThePass) {
  HeadlessLoop loop;
  HeadlessWindow window(loop, 4, 4);
  std::vector<std::string> log;
  window.handlers.onPaint = [&](const Rect&) { log.push_back("paint"); };
  loop.Post([&] {
    log.push_back("posted");
    window.InvalidateAll();
  });
  loop.Post([&] { log.push_back("posted 2"); });
  loop.ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"posted", "posted 2", "paint"}));
}

TEST(Backends, ChoosesBackendsByName) {
  EXPECT_EQ(BackendByName("sdl"), BackendKind::kNative);
  EXPECT_EQ(BackendByName("headless"), BackendKind::kHeadless);
  EXPECT_EQ(BackendByName("gdi"), std::nullopt);
  auto loop = CreateEventLoop(BackendKind::kHeadless);
  auto window = CreateShowWindow(*loop, "test", 320, 200);
  EXPECT_EQ(window->ClientWidth(), 320);
  EXPECT_EQ(window->ClientHeight(), 200);
  EXPECT_NE(dynamic_cast<HeadlessWindow*>(window.get()), nullptr);
}

TEST(ApplicationLoop, IsSetOnceAndMissingIsAnError) {
  SetApplication(nullptr);
  EXPECT_THROW(Application(), std::logic_error);
  {
    HeadlessLoop loop;
    SetApplication(&loop);
    EXPECT_EQ(&Application(), &loop);
    Timer t;  // on the application's loop by default
    EXPECT_EQ(&t.Loop(), &loop);
  }
  EXPECT_EQ(ApplicationOrNull(), nullptr);  // a destroyed loop unregisters itself
}

}  // namespace
}  // namespace ls
