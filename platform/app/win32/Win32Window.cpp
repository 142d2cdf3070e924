#include "platform/app/win32/Win32Window.h"

#include <windowsx.h>

#include <mutex>
#include <stdexcept>

#include "platform/app/win32/Win32Dpi.h"
#include "platform/app/win32/Win32Loop.h"
#include "platform/files/win32/WideText.h"

namespace ls {

namespace {

constexpr wchar_t kClassName[] = L"LanternslideShowWindow";

// IDC_ARROW in its wide form (the header's macro follows UNICODE).
HCURSOR ArrowCursor() { return LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); }

void RegisterShowClass(WNDPROC proc) {
  static std::once_flag once;
  std::call_once(once, [proc] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    // No CS_HREDRAW/CS_VREDRAW: a resize invalidates through the layer.
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = ArrowCursor();
    wc.hbrBackground = nullptr;  // never erased: the frame covers everything
    wc.lpszClassName = kClassName;
    // A failure shows up as CreateWindowExW failing.
    RegisterClassExW(&wc);
  });
}

}  // namespace

Win32Window::Win32Window(Win32Loop& loop, const std::string& title)
    : Window(loop), win32Loop_(loop) {
  UsePhysicalPixels();
  RegisterShowClass(&WindowProc);
  const int w = GetSystemMetrics(SM_CXSCREEN);
  const int h = GetSystemMetrics(SM_CYSCREEN);
  hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, Widen(title).c_str(),
                          WS_POPUP, 0, 0, w, h, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd_)
    throw std::runtime_error("cannot open the show window (error " +
                             std::to_string(GetLastError()) + ")");
  RECT rc{};
  GetClientRect(hwnd_, &rc);
  width_ = rc.right - rc.left;
  height_ = rc.bottom - rc.top;
}

Win32Window::~Win32Window() {
  // Messages sent while the window goes away (deactivation among them) no
  // longer reach this object.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  if (GetCapture() == hwnd_) ReleaseCapture();
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    self->win32Loop_.KeepException(std::current_exception());
    return 0;
  }
}

LRESULT Win32Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) return 0;
      width_ = LOWORD(lParam);
      height_ = HIWORD(lParam);
      InvalidateAll();
      if (handlers.onResize) handlers.onResize();
      return 0;
    case WM_DISPLAYCHANGE:
      // The primary monitor took another size: keep covering it.
      SetWindowPos(hwnd_, nullptr, 0, 0, LOWORD(lParam), HIWORD(lParam),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    case WM_KEYDOWN:
      KeyDown(static_cast<int>(wParam), false);
      return 0;
    case WM_SYSKEYDOWN:
      // Bit 29: Alt is held. The system still sees the key, so Alt+F4 closes.
      KeyDown(static_cast<int>(wParam), (lParam & (1 << 29)) != 0);
      break;
    case WM_SYSCHAR:
      return 0;  // no beep and no menu for Alt+letter: the window has no menu
    case WM_SYSCOMMAND:
      // The system's request to start the screensaver has no effect while the
      // show runs; every other command (monitor power included) takes its
      // usual course.
      if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
      break;
    case WM_LBUTTONDOWN:
      leftDown_ = true;
      SetCapture(hwnd_);
      return 0;
    case WM_LBUTTONUP:
      if (leftDown_) {
        leftDown_ = false;
        ReleaseCapture();
        if (ClientRect().Contains(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) Click();
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != hwnd_) leftDown_ = false;
      return 0;
    case WM_MOUSEMOVE:
      if (!trackingLeave_) {
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = hwnd_;
        trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
        MouseEnter();
      }
      MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      MouseLeave();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(cursorHidden_ ? nullptr : ArrowCursor());
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      SetActive(LOWORD(wParam) != WA_INACTIVE);
      return 0;
    case WM_ACTIVATEAPP:
      SetActive(wParam != FALSE);
      return 0;
    case WM_CLOSE:
      CloseRequested();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::Paint() {
  // The paint's device context is clipped to what the system holds invalid:
  // the layer's own invalid area must be part of it, or its pixels would be
  // clipped away.
  if (NeedsPaint()) {
    const Rect& a = InvalidArea();
    const RECT r{a.left, a.top, a.right, a.bottom};
    InvalidateRect(hwnd_, &r, FALSE);
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  // And what the system found invalid joins the layer's invalid area.
  Invalidate({ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
  paintDc_ = dc;
  try {
    Update();
  } catch (...) {
    paintDc_ = nullptr;
    EndPaint(hwnd_, &ps);
    throw;
  }
  paintDc_ = nullptr;
  EndPaint(hwnd_, &ps);
}

void Win32Window::SetActive(bool active) {
  // WM_ACTIVATE and WM_ACTIVATEAPP both tell of one change: report it once.
  if (active == active_) return;
  active_ = active;
  if (active)
    Activated();
  else
    Deactivated();
}

void Win32Window::Show() {
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  visible_ = true;
  InvalidateAll();
  ApplyCursor();
  win32Loop_.RethrowKept();
}

void Win32Window::Hide() {
  ShowWindow(hwnd_, SW_HIDE);
  visible_ = false;
  win32Loop_.RethrowKept();
}

void Win32Window::Present(const Bitmap& frame, const Rect& area) {
  const Rect r = area.Intersect(frame.Bounds()).Intersect(ClientRect());
  if (r.IsEmpty()) return;
  // The band of rows [top, bottom) as a top-down DIB of its own: the source
  // starts at its first row, so no bottom-up origin rule is involved.
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = frame.Width();
  bi.bmiHeader.biHeight = -r.Height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC dc = paintDc_ ? paintDc_ : GetDC(hwnd_);
  if (!dc) return;
  SetDIBitsToDevice(dc, r.left, r.top, static_cast<DWORD>(r.Width()),
                    static_cast<DWORD>(r.Height()), r.left, 0, 0, static_cast<UINT>(r.Height()),
                    frame.Row(r.top), &bi, DIB_RGB_COLORS);
  if (!paintDc_) ReleaseDC(hwnd_, dc);
}

Point Win32Window::CursorPos() const {
  POINT p;
  // Fails while the desktop is locked: the last known place then stands.
  if (GetCursorPos(&p)) lastCursor_ = {p.x, p.y};
  return lastCursor_;
}

void Win32Window::ShowCursor(bool visible) {
  // The look is chosen on WM_SETCURSOR rather than with the system's display
  // counter, which other code of the process may also move.
  cursorHidden_ = !visible;
  ApplyCursor();
}

void Win32Window::ApplyCursor() const {
  POINT p;
  if (!visible_ || !GetCursorPos(&p) || WindowFromPoint(p) != hwnd_) return;
  SetCursor(cursorHidden_ ? nullptr : ArrowCursor());
}

}  // namespace ls
