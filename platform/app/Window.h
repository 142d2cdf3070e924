#pragma once
// A top-level window of the program, as the forms see it: a client area that
// shows bitmaps, and input reported in the platform's terms (virtual-key
// codes, client coordinates, the global cursor position).
//
// Backends: SDL (borderless full screen, always on top, no taskbar entry) and
// headless (an in-memory frame buffer, scripted input).

#include <functional>
#include <memory>
#include <string>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"

namespace ls {

struct WindowHandlers {
  // A key went down; `virtualKey` is a Windows virtual-key code (27 = Esc).
  std::function<void(int virtualKey, bool alt)> onKeyDown;
  std::function<void()> onClick;
  // The mouse moved over the client area (client coordinates).
  std::function<void(int x, int y)> onMouseMove;
  // The window lost activation after it had been activated once.
  std::function<void()> onDeactivate;
  // The window needs its invalid area painted; the content calls Present.
  std::function<void(const Rect& invalid)> onPaint;
};

class Window {
 public:
  virtual ~Window() = default;

  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;

  // Marks part of the client area as needing a paint (no erase).
  virtual void Invalidate(const Rect& r) = 0;
  // Paints the invalid area now (calls onPaint when anything is invalid).
  virtual void Update() = 0;
  // Puts the part `area` of a client-sized bitmap on screen.
  virtual void Present(const Bitmap& frame, const Rect& area) = 0;

  // The cursor's position on the screen.
  virtual Point CursorPos() const = 0;
  virtual void ShowCursor(bool visible) = 0;

  WindowHandlers handlers;
};

}  // namespace ls
