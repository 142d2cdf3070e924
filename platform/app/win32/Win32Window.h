#pragma once
// The show's window on Windows: a pop-up covering the primary monitor at its
// origin, always on top, a tool window so that it has no taskbar button,
// created hidden. Its background is never erased; paints go through the
// layer's invalid area and onPaint, and frames are copied from our own
// bitmaps with SetDIBitsToDevice, so the pixels on screen are exactly ours.
// While it exists it refuses the system's command to start the screensaver.

#include <windows.h>

#include <string>

#include "platform/app/Window.h"

namespace ls {

class Win32Loop;

class Win32Window : public Window {
 public:
  // Throws std::runtime_error when the window cannot be created.
  Win32Window(Win32Loop& loop, const std::string& title);
  ~Win32Window() override;

  void Show() override;
  void Hide() override;
  bool Visible() const override { return visible_; }
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  void Present(const Bitmap& frame, const Rect& area) override;
  Point CursorPos() const override;
  void ShowCursor(bool visible) override;

  // The window behind it; for tests and tools.
  HWND Handle() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void SetActive(bool active);
  // Gives the cursor its look now when it is over this window.
  void ApplyCursor() const;

  Win32Loop& win32Loop_;
  HWND hwnd_ = nullptr;
  // The paint's device context while WM_PAINT is being handled.
  HDC paintDc_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = false;
  bool active_ = false;
  bool leftDown_ = false;
  bool trackingLeave_ = false;
  bool cursorHidden_ = false;
  mutable Point lastCursor_{};
};

}  // namespace ls
