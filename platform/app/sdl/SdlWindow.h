#pragma once
// The show's window on SDL: borderless, full screen on the primary display at
// its origin with the desktop's size, always on top, without a taskbar entry.
// Frames go to a streaming texture (only the changed area is uploaded) and
// are presented whole, in step with the display when the renderer can.
// While the window is shown the desktop's screensaver and blanking are held
// off.

#include <cstdint>

#include "platform/app/Window.h"

union SDL_Event;
struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace ls {

class SdlLoop;

class SdlWindow : public Window {
 public:
  // Throws std::runtime_error when SDL cannot open a window (no display).
  SdlWindow(SdlLoop& loop, const std::string& title);
  ~SdlWindow() override;

  void Show() override;
  void Hide() override;
  bool Visible() const override { return visible_; }
  int ClientWidth() const override { return width_; }
  int ClientHeight() const override { return height_; }
  void Present(const Bitmap& frame, const Rect& area) override;
  Point CursorPos() const override;
  void ShowCursor(bool visible) override;

  uint32_t Id() const { return id_; }
  // The X11 window behind it (0 on other video drivers); for tests and tools.
  unsigned long XWindowId() const;
  bool VSync() const { return vsync_; }
  // One SDL event meant for this window; called by SdlLoop.
  void HandleEvent(const SDL_Event& e);

 private:
  void CreateTexture();

  SdlLoop& sdlLoop_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  uint32_t id_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = false;
  bool vsync_ = false;
  bool leftDown_ = false;
  bool screensaverHeld_ = false;
};

// The Windows virtual-key code of an SDL key (SDL_Keycode); vk::kUnknown for
// a key without one.
int VirtualKeyFromSdl(int32_t sdlKeycode);

}  // namespace ls
