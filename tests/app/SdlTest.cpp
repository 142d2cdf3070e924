// The SDL backend: the real loop works without a display; the window needs
// one (the test script runs everything under a virtual X display).
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "platform/app/Backend.h"
#include "platform/app/sdl/SdlLoop.h"
#include "platform/app/sdl/SdlWindow.h"

namespace ls {
namespace {

TEST(SdlLoop, PostFromAThreadWakesTheWaitingLoop) {
  SdlLoop loop;
  std::atomic<bool> ranOnMain{false};
  std::thread worker([&] {
    loop.Synchronize([&] { ranOnMain = loop.IsMainThread(); });
    loop.Terminate();
  });
  loop.Run();  // no timers: waits on SDL's queue until woken
  worker.join();
  EXPECT_TRUE(ranOnMain);
}

TEST(SdlLoop, WaitMessageReturnsWhenAnotherThreadPosts) {
  SdlLoop loop;
  std::atomic<bool> posted{false};
  std::thread worker([&] {
    posted = true;
    loop.Post([] {});
  });
  const uint32_t t0 = loop.GetTickCount();
  // Waits up to a minute; the post ends the wait long before.
  while (!posted) std::this_thread::yield();
  loop.WaitMessage(60000);
  worker.join();
  EXPECT_LT(loop.GetTickCount() - t0, 30000u);
}

TEST(SdlLoop, TimersFireInOrderOnTheRealClock) {
  SdlLoop loop;
  std::vector<int> order;
  Timer a(loop), b(loop);
  a.SetInterval(30);
  b.SetInterval(10);
  a.OnTimer = [&] {
    order.push_back(30);
    loop.Terminate();
  };
  b.OnTimer = [&] {
    order.push_back(10);
    b.SetEnabled(false);
  };
  const uint32_t t0 = loop.GetTickCount();
  a.SetEnabled(true);
  b.SetEnabled(true);
  loop.Run();
  EXPECT_EQ(order, (std::vector<int>{10, 30}));
  EXPECT_GE(loop.GetTickCount() - t0, 30u);
}

TEST(SdlKeys, MapToWindowsVirtualKeys) {
  const std::pair<SDL_Keycode, int> cases[] = {
      {SDLK_ESCAPE, 27},  {SDLK_a, 'A'},      {SDLK_z, 'Z'},     {SDLK_0, '0'},
      {SDLK_9, '9'},      {SDLK_F1, 0x70},    {SDLK_F12, 0x7B},  {SDLK_F13, 0x7C},
      {SDLK_LEFT, 0x25},  {SDLK_UP, 0x26},    {SDLK_RIGHT, 0x27}, {SDLK_DOWN, 0x28},
      {SDLK_SPACE, 0x20}, {SDLK_RETURN, 0x0D}, {SDLK_KP_ENTER, 0x0D}, {SDLK_TAB, 0x09},
      {SDLK_LALT, 0x12},  {SDLK_RSHIFT, 0x10}, {SDLK_KP_0, 0x60}, {SDLK_KP_9, 0x69},
      {SDLK_DELETE, 0x2E}, {SDLK_MINUS, 0xBD}, {SDLK_VOLUMEUP, 0xFF},
  };
  for (auto [sdl, vkCode] : cases) EXPECT_EQ(VirtualKeyFromSdl(sdl), vkCode) << SDL_GetKeyName(sdl);
}

// The window tests need an X display; without one they are skipped.
std::unique_ptr<SdlWindow> OpenWindow(SdlLoop& loop) {
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) return nullptr;
  try {
    return std::make_unique<SdlWindow>(loop, "lanternslide test");
  } catch (const std::runtime_error&) {
    return nullptr;
  }
}

TEST(SdlWindow, CoversThePrimaryDisplayAndPresentsFrames) {
  SdlLoop loop;
  auto window = OpenWindow(loop);
  if (!window) GTEST_SKIP() << "no display";
  SDL_DisplayMode mode;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0);
  EXPECT_EQ(window->ClientWidth(), mode.w);
  EXPECT_EQ(window->ClientHeight(), mode.h);
  EXPECT_FALSE(window->Visible());

  int paints = 0;
  Rect first;
  window->handlers.onPaint = [&](const Rect& r) {
    if (paints++ == 0) first = r;
    Bitmap frame(window->ClientWidth(), window->ClientHeight());
    window->Present(frame, r);
  };
  window->Show();
  EXPECT_TRUE(window->Visible());
  EXPECT_FALSE(SDL_IsScreenSaverEnabled());
  loop.ProcessMessages();
  EXPECT_GE(paints, 1);
  EXPECT_EQ(first, window->ClientRect());
  window->Hide();
  EXPECT_TRUE(SDL_IsScreenSaverEnabled());
}

// Real X input through xdotool: keys arrive as virtual-key codes, a click as
// a click, and losing the focus as a deactivation.
TEST(SdlWindow, ReportsKeysClicksAndDeactivationFromTheDisplay) {
  SdlLoop loop;
  auto window = OpenWindow(loop);
  if (!window) GTEST_SKIP() << "no display";
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "no xdotool";
  std::vector<std::pair<int, bool>> keys;
  int clicks = 0, deactivations = 0;
  window->handlers.onKeyDown = [&](int code, bool alt) { keys.emplace_back(code, alt); };
  window->handlers.onClick = [&] { ++clicks; };
  window->handlers.onDeactivate = [&] { ++deactivations; };
  window->Show();
  auto pump = [&](uint32_t ms) {
    const uint32_t t0 = loop.GetTickCount();
    while (loop.GetTickCount() - t0 < ms) {
      loop.ProcessMessages();
      loop.WaitMessage(10);
    }
  };
  pump(200);
  const std::string id = std::to_string(window->XWindowId());
  ASSERT_NE(window->XWindowId(), 0u);
  ASSERT_EQ(std::system(("xdotool windowfocus --sync " + id).c_str()), 0);
  pump(200);
  ASSERT_EQ(std::system("xdotool key Escape key a key alt+F4 mousemove 100 100 click 1"), 0);
  pump(500);
  ASSERT_GE(keys.size(), 3u);
  EXPECT_EQ(keys[0], (std::pair<int, bool>{27, false}));
  EXPECT_EQ(keys[1], (std::pair<int, bool>{'A', false}));
  // Alt comes first as a key of its own, then F4 with Alt held.
  EXPECT_NE(std::find(keys.begin(), keys.end(), std::pair<int, bool>{0x73, true}), keys.end());
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(deactivations, 0);
  // Another window takes the focus.
  SDL_Window* other = SDL_CreateWindow("other", 0, 0, 50, 50, 0);
  ASSERT_NE(other, nullptr);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  ASSERT_TRUE(SDL_GetWindowWMInfo(other, &info));
  pump(200);
  ASSERT_EQ(std::system(("xdotool windowfocus --sync " +
                         std::to_string(static_cast<unsigned long>(info.info.x11.window)))
                            .c_str()),
            0);
  pump(300);
  EXPECT_EQ(deactivations, 1);
  SDL_DestroyWindow(other);
}

TEST(SdlWindow, FactoryGivesAnSdlWindowOnAnSdlLoop) {
  auto loop = CreateEventLoop(BackendKind::kNative);
  std::unique_ptr<Window> window;
  try {
    if (std::getenv("DISPLAY")) window = CreateShowWindow(*loop, "lanternslide test");
  } catch (const std::runtime_error&) {
  }
  if (!window) GTEST_SKIP() << "no display";
  EXPECT_NE(dynamic_cast<SdlWindow*>(window.get()), nullptr);
}

}  // namespace
}  // namespace ls
