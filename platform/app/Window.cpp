#include "platform/app/Window.h"

#include <algorithm>

#include "platform/app/EventLoop.h"

namespace ls {

Window::Window(EventLoop& loop) : loop_(loop) { loop_.WindowCreated(this); }

Window::~Window() { loop_.WindowDestroyed(this); }

void Window::Invalidate(const Rect& r) {
  const Rect area = r.Intersect(ClientRect());
  if (area.IsEmpty()) return;
  if (invalid_.IsEmpty()) {
    invalid_ = area;
    return;
  }
  invalid_ = {std::min(invalid_.left, area.left), std::min(invalid_.top, area.top),
              std::max(invalid_.right, area.right), std::max(invalid_.bottom, area.bottom)};
}

void Window::Update() {
  if (invalid_.IsEmpty()) return;
  const Rect area = invalid_;
  invalid_ = {};
  if (handlers.onPaint) handlers.onPaint(area);
}

void Window::KeyDown(int virtualKey, bool alt) {
  if (handlers.onKeyDown) handlers.onKeyDown(virtualKey, alt);
}

void Window::Click() {
  if (handlers.onClick) handlers.onClick();
}

void Window::MouseMove(int x, int y) {
  if (handlers.onMouseMove) handlers.onMouseMove(x, y);
}

void Window::MouseEnter() {
  if (handlers.onMouseEnter) handlers.onMouseEnter();
}

void Window::MouseLeave() {
  if (handlers.onMouseLeave) handlers.onMouseLeave();
}

void Window::Deactivated() {
  if (!everActivated_) return;
  if (handlers.onDeactivate) handlers.onDeactivate();
}

void Window::CloseRequested() {
  if (handlers.onClose)
    handlers.onClose();
  else
    loop_.Terminate();
}

}  // namespace ls
