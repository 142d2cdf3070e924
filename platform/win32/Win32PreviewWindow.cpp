// The preview window on Windows: a child of the display settings' preview box
// (given by its window handle), of its own window class without a background
// brush, painted from our bitmap with StretchDIBits and ended when its
// WM_DESTROY arrives (its parent destroys it along with itself).

#include <windows.h>

#include <cstdio>

#include "platform/app/PreviewWindow.h"
#include "platform/files/win32/WideText.h"

namespace ls {
namespace {

// The command line carries the handle as a signed 32-bit number; handles are
// 32-bit values sign-extended to the pointer width.
HWND ToWindow(int64_t id) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(static_cast<uint32_t>(id))));
}

// The frame as a device-independent bitmap: 32 bits, bytes B, G, R, unused,
// rows top-down, which is the Bitmap's own memory.
BITMAPINFO DibHeader(const Bitmap& frame) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = frame.Width();
  info.bmiHeader.biHeight = -frame.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

class Win32PreviewWindowSystem : public PreviewWindowSystem {
 public:
  ~Win32PreviewWindowSystem() override {
    // A parent of another thread destroys the child in two steps: the
    // WM_DESTROY that ended Run, then a request that may come after it. The
    // child is this thread's window, so it is finished here.
    if (child_ && IsWindow(child_)) DestroyWindow(child_);
    // Runs after the message loop: no window of the class is left.
    if (registered_) UnregisterClassW(className_.c_str(), GetModuleHandleW(nullptr));
  }

  std::optional<std::pair<int, int>> ParentSize(int64_t parent) override {
    const HWND window = ToWindow(parent);
    if (!window || !IsWindow(window)) return std::nullopt;
    RECT client{};
    if (!GetClientRect(window, &client)) return std::nullopt;
    return std::make_pair(static_cast<int>(client.right - client.left),
                          static_cast<int>(client.bottom - client.top));
  }

  bool CreateChild(int64_t parent, int width, int height, const std::string& className,
                   const std::string& windowName) override {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    className_ = Widen(className);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className_.c_str();
    // No background brush: the picture covers the window, nothing erases it.
    registered_ = RegisterClassW(&windowClass) != 0;
    // The child takes clicks (no WS_DISABLED): a click beeps and opens the
    // preview link.
    child_ = CreateWindowExW(0, className_.c_str(), Widen(windowName).c_str(), WS_CHILD | WS_VISIBLE,
                             0, 0, width, height, ToWindow(parent), nullptr, instance, nullptr);
    if (!child_) {
      // A window that failed half-way has had its WM_DESTROY; its quit
      // request must not end a later loop of this thread.
      MSG quit;
      PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
      destroyed_ = true;
      return false;
    }
    SetWindowLongPtrW(child_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
  }

  void Run(PreviewWindowHandler& handler) override {
    if (!child_) return;
    handler_ = &handler;
    // A paint that came before the handler was there drew nothing.
    InvalidateRect(child_, nullptr, FALSE);
    MSG message;
    // WM_DESTROY posts the quit message, also when it came before the loop.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    handler_ = nullptr;
  }

  void Draw(const Bitmap& frame) override {
    if (destroyed_ || frame.IsEmpty() || !child_) return;
    const bool ownDc = paintDc_ == nullptr;
    const HDC dc = ownDc ? GetDC(child_) : paintDc_;
    if (!dc) return;
    const BITMAPINFO info = DibHeader(frame);
    StretchDIBits(dc, 0, 0, frame.Width(), frame.Height(), 0, 0, frame.Width(), frame.Height(),
                  frame.Data(), &info, DIB_RGB_COLORS, SRCCOPY);
    if (ownDc) ReleaseDC(child_, dc);
  }

  void Beep() override { MessageBeep(MB_OK); }

  int64_t ChildWindow() const override {
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(child_));
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self =
        reinterpret_cast<Win32PreviewWindowSystem*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
      case WM_DESTROY:
        // Once: a second WM_DESTROY of a child that its parent had begun
        // to destroy must leave no quit request behind.
        if (self && self->destroyed_) return 0;
        if (self) self->destroyed_ = true;
        PostQuitMessage(0);
        return 0;
      case WM_ERASEBKGND:
        return 0;
      case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC dc = BeginPaint(window, &paint);
        if (self && self->handler_) {
          self->paintDc_ = dc;
          self->handler_->OnPaint();
          self->paintDc_ = nullptr;
        }
        EndPaint(window, &paint);
        return 0;
      }
      case WM_LBUTTONDOWN:
        if (self && self->handler_) self->handler_->OnLeftButtonDown();
        return 0;
      default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
  }

  std::wstring className_;
  bool registered_ = false;
  HWND child_ = nullptr;
  bool destroyed_ = false;
  PreviewWindowHandler* handler_ = nullptr;
  HDC paintDc_ = nullptr;
};

}  // namespace

std::unique_ptr<PreviewWindowSystem> CreatePreviewWindowSystem() {
  return std::make_unique<Win32PreviewWindowSystem>();
}

}  // namespace ls
