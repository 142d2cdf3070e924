#pragma once
// A top-level window of the program, as the forms see it: a client area that
// shows bitmaps, and input reported in the platform's terms (virtual-key
// codes, client coordinates, the global cursor position).
//
// Backends: SDL or Win32 (borderless full screen, always on top, no taskbar
// entry) and headless (an in-memory frame buffer, scripted input).
//
// Painting follows the platform's rules: Invalidate only marks an area; the
// loop paints it when it has nothing else to do in a pass (or Update paints it
// at once), by calling onPaint with the invalid area, and the content puts its
// pixels on screen with Present. Nothing is ever erased in between.

#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"

namespace ls {

class EventLoop;

// Windows virtual-key codes used by the program and its tests.
namespace vk {
inline constexpr int kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kShift = 0x10, kControl = 0x11,
                     kMenu = 0x12, kPause = 0x13, kCapital = 0x14, kEscape = 0x1B, kSpace = 0x20,
                     kPrior = 0x21, kNext = 0x22, kEnd = 0x23, kHome = 0x24, kLeft = 0x25,
                     kUp = 0x26, kRight = 0x27, kDown = 0x28, kSnapshot = 0x2C, kInsert = 0x2D,
                     kDelete = 0x2E, kLWin = 0x5B, kRWin = 0x5C, kApps = 0x5D, kNumpad0 = 0x60,
                     kMultiply = 0x6A, kAdd = 0x6B, kSeparator = 0x6C, kSubtract = 0x6D,
                     kDecimal = 0x6E, kDivide = 0x6F, kF1 = 0x70, kNumLock = 0x90,
                     kScroll = 0x91, kOem1 = 0xBA, kOemPlus = 0xBB, kOemComma = 0xBC,
                     kOemMinus = 0xBD, kOemPeriod = 0xBE, kOem2 = 0xBF, kOem3 = 0xC0,
                     kOem4 = 0xDB, kOem5 = 0xDC, kOem6 = 0xDD, kOem7 = 0xDE,
                     // A key the platform reports but that has no code of its own.
                     kUnknown = 0xFF;
}  // namespace vk

struct WindowHandlers {
  // A key went down; `virtualKey` is a Windows virtual-key code (27 = Esc);
  // `alt` is true while Alt is held (a system key).
  std::function<void(int virtualKey, bool alt)> onKeyDown;
  // A click (left button pressed and released) on the client area.
  std::function<void()> onClick;
  // The mouse moved over the client area (client coordinates).
  std::function<void(int x, int y)> onMouseMove;
  // The mouse entered or left the client area.
  std::function<void()> onMouseEnter;
  std::function<void()> onMouseLeave;
  // The window lost activation after it had been activated once.
  std::function<void()> onDeactivate;
  // The user or the desktop asked the window to close; when unset, the loop
  // is terminated.
  std::function<void()> onClose;
  // The client area changed its size.
  std::function<void()> onResize;
  // The window needs its invalid area painted; the content calls Present.
  std::function<void(const Rect& invalid)> onPaint;
};

class Window {
 public:
  // Registers with the loop, which then paints the window's invalid area.
  explicit Window(EventLoop& loop);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  EventLoop& Loop() const { return loop_; }

  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual bool Visible() const = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;
  Rect ClientRect() const { return {0, 0, ClientWidth(), ClientHeight()}; }

  // Marks part of the client area as needing a paint (no erase). The invalid
  // area is kept as the bounding rectangle of everything marked.
  void Invalidate(const Rect& r);
  void InvalidateAll() { Invalidate(ClientRect()); }
  bool NeedsPaint() const { return !invalid_.IsEmpty(); }
  const Rect& InvalidArea() const { return invalid_; }
  // Paints the invalid area now: calls onPaint once when anything is invalid.
  // The area counts as valid before onPaint runs, so a paint handler that
  // ignores the call leaves nothing behind (as the platform's paint does).
  void Update();

  // Puts the part `area` of a client-sized bitmap on screen.
  virtual void Present(const Bitmap& frame, const Rect& area) = 0;

  // The cursor's position on the screen.
  virtual Point CursorPos() const = 0;
  virtual void ShowCursor(bool visible) = 0;

  WindowHandlers handlers;

 protected:
  // Backends report input through these; each does nothing without a handler.
  void KeyDown(int virtualKey, bool alt);
  void Click();
  void MouseMove(int x, int y);
  void MouseEnter();
  void MouseLeave();
  // Reports a deactivation only once the window was activated.
  void Activated() { everActivated_ = true; }
  void Deactivated();
  void CloseRequested();

 private:
  EventLoop& loop_;
  Rect invalid_{};
  bool everActivated_ = false;
};

}  // namespace ls
