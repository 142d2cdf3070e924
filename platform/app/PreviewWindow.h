#pragma once
// The window side of preview mode: one plain child window inside a foreign
// parent window (the preview box of the desktop's display settings), shown
// until the parent destroys it. The preview's logic (shell/Preview.h) paints
// and answers clicks through this interface; the desktop's backend (X11 or
// Win32) implements it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/graphics/Bitmap.h"

namespace ls {

// What the window reports to the preview's logic.
class PreviewWindowHandler {
 public:
  virtual ~PreviewWindowHandler() = default;
  // The window needs painting: the handler calls PreviewWindowSystem::Draw.
  virtual void OnPaint() = 0;
  // The left mouse button went down in the window.
  virtual void OnLeftButtonDown() = 0;
};

class PreviewWindowSystem {
 public:
  virtual ~PreviewWindowSystem() = default;
  // The size of the parent window; nullopt when the id names no window.
  virtual std::optional<std::pair<int, int>> ParentSize(int64_t parent) = 0;
  // Creates the visible child window at (0, 0) with the given size, the class
  // name as its class and windowName as its title, never erasing its
  // background. False when the parent is gone.
  virtual bool CreateChild(int64_t parent, int width, int height, const std::string& className,
                           const std::string& windowName) = 0;
  // Runs the window's events until it is destroyed (by its parent or
  // directly), then returns.
  virtual void Run(PreviewWindowHandler& handler) = 0;
  // Shows the frame (the window's size) in the window; only during OnPaint.
  virtual void Draw(const Bitmap& frame) = 0;
  // The desktop's alert sound.
  virtual void Beep() = 0;
  // The child window's id (0 before CreateChild).
  virtual int64_t ChildWindow() const = 0;
};

// The desktop's implementation (X11 or Win32); nullptr (with one line on
// standard error) when no display can be opened.
std::unique_ptr<PreviewWindowSystem> CreatePreviewWindowSystem();

}  // namespace ls
