// The Win32 backend of the application layer on a real (Wine) desktop: the
// message loop's timers, wake-ups and dispatch to every window of the thread,
// and the show window's pixels and input.
#include <gtest/gtest.h>

#include "platform/app/Backend.h"
#include "platform/app/Thread.h"
#include "platform/app/win32/Win32Loop.h"
#include "platform/app/win32/Win32Window.h"
#include "tests/win32/Pump.h"

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

namespace ls {
namespace {

using test::Pump;
using test::PumpUntil;

TEST(Win32AppLoop, TimersFireInOrderAndIntervalZeroNeverFires) {
  Win32Loop loop;
  std::vector<int> order;
  Timer slow(loop), fast(loop), zero(loop);
  slow.SetInterval(60);
  fast.SetInterval(20);
  zero.SetInterval(0);
  slow.OnTimer = [&] {
    order.push_back(60);
    loop.Terminate();
  };
  fast.OnTimer = [&] {
    order.push_back(20);
    fast.SetEnabled(false);
  };
  zero.OnTimer = [&] { order.push_back(0); };
  const uint32_t t0 = loop.GetTickCount();
  zero.SetEnabled(true);
  slow.SetEnabled(true);
  fast.SetEnabled(true);
  loop.Run();  // waits in the system between the timers
  EXPECT_EQ(order, (std::vector<int>{20, 60}));
  EXPECT_GE(loop.GetTickCount() - t0, 60u);

  // A timer that fell far behind fires once, not once per missed interval.
  int late = 0;
  Timer behind(loop);
  behind.SetInterval(10);
  behind.OnTimer = [&] { ++late; };
  behind.SetEnabled(true);
  loop.Sleep(100);
  loop.ProcessMessages();
  EXPECT_EQ(late, 1);
}

TEST(Win32AppLoop, AnotherThreadWakesTheWaitingLoop) {
  Win32Loop loop;
  std::atomic<bool> ranOnMain{false};
  std::thread worker([&] {
    loop.Synchronize([&] { ranOnMain = loop.IsMainThread(); });
    loop.Terminate();
  });
  loop.Run();  // no timers: an infinite wait that only the worker can end
  worker.join();
  EXPECT_TRUE(ranOnMain);

  // WaitMessage ends on a post long before its minute is up.
  std::atomic<bool> posting{false};
  std::thread poster([&] {
    posting = true;
    loop.Post([] {});
  });
  while (!posting) std::this_thread::yield();
  const uint32_t t0 = loop.GetTickCount();
  loop.WaitMessage(60000);
  poster.join();
  EXPECT_LT(loop.GetTickCount() - t0, 30000u);
}

// Windows that other parts of the program make on the loop's thread (media
// players, the preview) get their messages from the loop; a quit message
// ends it.
EventLoop* g_countingLoop = nullptr;

LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (wParam == 1) PostQuitMessage(0);
    if (wParam == 2) g_countingLoop->Terminate();
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(Win32AppLoop, DispatchesToEveryWindowOfTheThreadAndEndsOnQuit) {
  Win32Loop loop;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = CountingProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LanternslideTestCounter";
  RegisterClassExW(&wc);
  HWND other = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               wc.hInstance, nullptr);
  ASSERT_NE(other, nullptr);
  int received = 0;
  SetWindowLongPtrW(other, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
  PostMessageW(other, WM_APP, 0, 0);
  loop.ProcessMessages();
  EXPECT_EQ(received, 1);

  std::thread worker([&] { PostMessageW(other, WM_APP, 1, 0); });
  loop.Run();  // woken by the message, ended by the quit it leads to
  worker.join();
  EXPECT_EQ(received, 2);
  EXPECT_TRUE(loop.Terminated());

  // Run ends with the message that terminated it; the next stays queued.
  loop.ResetTerminated();
  g_countingLoop = &loop;
  PostMessageW(other, WM_APP, 2, 0);
  PostMessageW(other, WM_APP, 0, 0);
  loop.Run();
  EXPECT_EQ(received, 3);
  loop.ProcessMessages();
  EXPECT_EQ(received, 4);
  DestroyWindow(other);
}

TEST(Win32AppThread, PriorityValuesAreTheSystemsOwn) {
  std::thread worker([] {
    EXPECT_TRUE(SetCurrentThreadPriority(-2));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_LOWEST);
    EXPECT_TRUE(SetCurrentThreadPriority(-15));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_IDLE);
    EXPECT_FALSE(SetCurrentThreadPriority(7));  // not a priority value
  });
  worker.join();
}

std::unique_ptr<Win32Window> OpenWindow(Win32Loop& loop) {
  try {
    return std::make_unique<Win32Window>(loop, "lanternslide test");
  } catch (const std::runtime_error&) {
    return nullptr;
  }
}

// The pixels of the screen (or of a window) in a rectangle, read back with
// BitBlt into a 32-bit top-down DIB section.
Bitmap ReadBack(HWND from, const Rect& r) {
  Bitmap out(r.Width(), r.Height());
  HDC src = GetDC(from);
  HDC mem = CreateCompatibleDC(src);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = r.Width();
  bi.bmiHeader.biHeight = -r.Height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, r.Width(), r.Height(), src, r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* px = static_cast<const Pixel*>(bits);
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) out.Set(x, y, px[y * r.Width() + x] & 0xFFFFFFu);
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(from, src);
  return out;
}

Bitmap Crop(const Bitmap& b, const Rect& r) {
  Bitmap out(r.Width(), r.Height());
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) out.Set(x, y, b.At(r.left + x, r.top + y));
  return out;
}

TEST(Win32AppWindow, CoversThePrimaryMonitorAndPutsTheFramesPixelsOnScreen) {
  Win32Loop loop;
  auto window = OpenWindow(loop);
  if (!window) GTEST_SKIP() << "no desktop";
  HWND hwnd = window->Handle();
  EXPECT_EQ(window->ClientWidth(), GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(window->ClientHeight(), GetSystemMetrics(SM_CYSCREEN));
  EXPECT_FALSE(window->Visible());
  EXPECT_FALSE(IsWindowVisible(hwnd));
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);

  // A frame whose every pixel differs from its neighbours, so that a shifted,
  // mirrored or upside-down copy cannot pass.
  const int w = window->ClientWidth(), h = window->ClientHeight();
  Bitmap frame(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      frame.Set(x, y, static_cast<Pixel>(((x * 7) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x + y) & 0xFF)));
  std::vector<Rect> paints;
  window->handlers.onPaint = [&](const Rect& r) {
    paints.push_back(r);
    window->Present(frame, r);
  };
  window->Show();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  ASSERT_TRUE(PumpUntil(loop, [&] { return !paints.empty(); }));
  EXPECT_EQ(paints.front(), window->ClientRect());

  const Rect probe{w / 2 - 64, h / 2 - 48, w / 2 + 64, h / 2 + 48};
  Bitmap expected = Crop(frame, probe);
  // The desktop shows the window's pixels once the display has caught up.
  EXPECT_TRUE(PumpUntil(loop, [&] { return ReadBack(nullptr, probe) == expected; }));
  EXPECT_EQ(ReadBack(hwnd, {0, 0, w, h}), frame);

  // Presenting outside a paint changes exactly the given area.
  Bitmap second = frame;
  const Rect area{w / 2 - 16, h / 2 - 8, w / 2 + 16, h / 2 + 8};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) second.Set(x, y, 0x00FF8000u ^ frame.At(x, y));
  paints.clear();
  window->handlers.onPaint = nullptr;
  window->Present(second, area);
  Bitmap mixed = frame;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) mixed.Set(x, y, second.At(x, y));
  EXPECT_EQ(ReadBack(hwnd, {0, 0, w, h}), mixed);
  expected = Crop(mixed, probe);
  EXPECT_TRUE(PumpUntil(loop, [&] { return ReadBack(nullptr, probe) == expected; }));

  // A paint of the system's while the layer has an invalid area of its own:
  // both areas reach the screen.
  Bitmap third = mixed;
  for (const Rect& r : {Rect{10, 20, 30, 40}, Rect{100, 100, 110, 110}})
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) third.Set(x, y, ~mixed.At(x, y) & 0xFFFFFFu);
  window->handlers.onPaint = [&](const Rect& r) {
    paints.push_back(r);
    window->Present(third, r);
  };
  window->Invalidate({10, 20, 30, 40});
  const RECT systemArea{100, 100, 110, 110};
  InvalidateRect(hwnd, &systemArea, FALSE);
  UpdateWindow(hwnd);
  EXPECT_EQ(paints, (std::vector<Rect>{{10, 20, 110, 110}}));
  EXPECT_EQ(ReadBack(hwnd, {0, 0, w, h}), third);

  // The layer's invalid area is painted by the loop, and only it.
  paints.clear();
  window->handlers.onPaint = [&](const Rect& r) { paints.push_back(r); };
  window->Invalidate({10, 20, 30, 40});
  loop.ProcessMessages();
  EXPECT_EQ(paints, (std::vector<Rect>{{10, 20, 30, 40}}));
  window->Hide();
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

void SendKey(WORD key, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = key;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  if (flags & MOUSEEVENTF_ABSOLUTE) {
    // Normalised to 0..65535 over the primary monitor.
    in.mi.dx = (x * 65536 + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN);
    in.mi.dy = (y * 65536 + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN);
  }
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof in);
}

TEST(Win32AppWindow, ReportsKeysClicksMovesAndDeactivationAfterActivation) {
  Win32Loop loop;
  auto window = OpenWindow(loop);
  if (!window) GTEST_SKIP() << "no desktop";
  HWND hwnd = window->Handle();
  std::vector<std::pair<int, bool>> keys;
  std::vector<Point> moves;
  int clicks = 0, deactivations = 0, closes = 0, enters = 0;
  window->handlers.onKeyDown = [&](int code, bool alt) { keys.emplace_back(code, alt); };
  window->handlers.onClick = [&] { ++clicks; };
  window->handlers.onMouseMove = [&](int x, int y) { moves.push_back({x, y}); };
  window->handlers.onMouseEnter = [&] { ++enters; };
  window->handlers.onDeactivate = [&] { ++deactivations; };
  window->handlers.onClose = [&] { ++closes; };

  // Losing an activation it never had is no deactivation.
  SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageW(hwnd, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(deactivations, 0);

  window->Show();
  ASSERT_TRUE(PumpUntil(loop, [&] { return GetForegroundWindow() == hwnd; }));

  SendKey(VK_ESCAPE, false);
  SendKey(VK_ESCAPE, true);
  SendKey('A', false);
  SendKey('A', true);
  SendKey(VK_MENU, false);
  SendKey(VK_F4, false);
  SendKey(VK_F4, true);
  SendKey(VK_MENU, true);
  // Alt+F4 still closes: the close request reaches the handler.
  ASSERT_TRUE(PumpUntil(loop, [&] { return closes == 1; }));
  ASSERT_GE(keys.size(), 4u);
  EXPECT_EQ(keys[0], (std::pair<int, bool>{VK_ESCAPE, false}));
  EXPECT_EQ(keys[1], (std::pair<int, bool>{'A', false}));
  EXPECT_EQ(keys[2], (std::pair<int, bool>{VK_MENU, true}));
  EXPECT_EQ(keys[3], (std::pair<int, bool>{VK_F4, true}));
  EXPECT_TRUE(window->Visible());
  // Alt pressed and released alone opens no menu that would swallow the next
  // key.
  SendKey(VK_MENU, false);
  SendKey(VK_MENU, true);
  SendKey('B', false);
  SendKey('B', true);
  EXPECT_TRUE(PumpUntil(loop, [&] { return keys.back() == std::pair<int, bool>{'B', false}; }));

  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 200, 150);
  ASSERT_TRUE(PumpUntil(loop, [&] { return !moves.empty() && moves.back() == window->CursorPos(); }));
  EXPECT_GE(enters, 1);
  const Point at = window->CursorPos();
  EXPECT_NEAR(at.x, 200, 1);
  EXPECT_NEAR(at.y, 150, 1);

  // The cursor disappears over the window, stays away while the mouse moves,
  // and comes back however often it was hidden.
  window->ShowCursor(false);
  window->ShowCursor(false);
  CURSORINFO ci{};
  ci.cbSize = sizeof ci;
  ASSERT_TRUE(GetCursorInfo(&ci));
  EXPECT_EQ(ci.hCursor, nullptr);
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 300, 200);
  ASSERT_TRUE(PumpUntil(loop, [&] { return moves.back() == window->CursorPos() && moves.back().x > 250; }));
  ASSERT_TRUE(GetCursorInfo(&ci));
  EXPECT_EQ(ci.hCursor, nullptr);
  window->ShowCursor(true);
  ASSERT_TRUE(GetCursorInfo(&ci));
  EXPECT_NE(ci.hCursor, nullptr);

  SendMouse(MOUSEEVENTF_LEFTDOWN);
  SendMouse(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil(loop, [&] { return clicks == 1; }));
  EXPECT_EQ(deactivations, 0);

  // Another window takes the activation: one deactivation.
  HWND other = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50,
                               50, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(PumpUntil(loop, [&] { return deactivations > 0; }));
  Pump(loop, 100);
  EXPECT_EQ(deactivations, 1);
  DestroyWindow(other);

  // Losing it to another program tells the window twice (window and
  // application): still one deactivation.
  SetForegroundWindow(hwnd);
  ASSERT_TRUE(PumpUntil(loop, [&] { return GetForegroundWindow() == hwnd; }));
  SendMessageW(hwnd, WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageW(hwnd, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(deactivations, 2);
}

TEST(Win32AppWindow, NativeFactoryGivesAWin32WindowOnAWin32Loop) {
  auto loop = CreateEventLoop(BackendKind::kNative);
  EXPECT_NE(dynamic_cast<Win32Loop*>(loop.get()), nullptr);
  EXPECT_STREQ(BackendName(BackendKind::kNative), "win32");
  std::unique_ptr<Window> window;
  try {
    window = CreateShowWindow(*loop, "lanternslide test");
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "no desktop";
  }
  EXPECT_NE(dynamic_cast<Win32Window*>(window.get()), nullptr);
}

}  // namespace
}  // namespace ls
