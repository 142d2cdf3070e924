#include "platform/app/sdl/SdlWindow.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <stdexcept>
#include <string>

#include "platform/app/sdl/SdlLoop.h"

namespace ls {

namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string(what) + ": " + SDL_GetError());
}

}  // namespace

SdlWindow::SdlWindow(SdlLoop& loop, const std::string& title) : Window(loop), sdlLoop_(loop) {
  // The first click on the show must count as a click, not only focus it.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Losing focus ends the show anyway; minimising first would only flicker.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // Video stays up for the life of the process once started: shutting it
  // down unloads the display libraries, which some of them do not survive
  // cleanly when a window is opened again.
  if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    Fail("cannot start SDL video");

  SDL_DisplayMode mode;
  SDL_Rect bounds;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || SDL_GetDisplayBounds(0, &bounds) != 0) {
    Fail("cannot read the primary display");
  }
  // Full screen on the desktop alone leaves a small window where no window
  // manager runs: give the window the desktop's place and size as well.
  const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP |
                       SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR;
  window_ = SDL_CreateWindow(title.c_str(), bounds.x, bounds.y, mode.w, mode.h, flags);
  if (!window_) Fail("cannot open the show window");
  // In step with the display where the renderer can (no tearing); otherwise
  // any renderer will do, software included.
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_) {
    SDL_DestroyWindow(window_);
    Fail("cannot create a renderer for the show window");
  }
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer_, &info) == 0)
    vsync_ = (info.flags & SDL_RENDERER_PRESENTVSYNC) != 0;
  id_ = SDL_GetWindowID(window_);
  try {
    CreateTexture();
  } catch (...) {
    SDL_DestroyRenderer(renderer_);
    SDL_DestroyWindow(window_);
    throw;
  }
  sdlLoop_.AddSdlWindow(this);
}

SdlWindow::~SdlWindow() {
  sdlLoop_.RemoveSdlWindow(this);
  if (screensaverHeld_) SDL_EnableScreenSaver();
  if (texture_) SDL_DestroyTexture(texture_);
  SDL_DestroyRenderer(renderer_);
  SDL_DestroyWindow(window_);
}

void SdlWindow::CreateTexture() {
  int w = 0, h = 0;
  if (SDL_GetRendererOutputSize(renderer_, &w, &h) != 0) Fail("cannot read the window size");
  if (texture_ && w == width_ && h == height_) return;
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  width_ = w;
  height_ = h;
  if (w <= 0 || h <= 0) return;
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XRGB8888, SDL_TEXTUREACCESS_STREAMING,
                               w, h);
  if (!texture_) Fail("cannot create the frame texture");
}

void SdlWindow::Show() {
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  if (!screensaverHeld_) {
    SDL_DisableScreenSaver();
    screensaverHeld_ = true;
  }
  visible_ = true;
  CreateTexture();
  InvalidateAll();
}

void SdlWindow::Hide() {
  SDL_HideWindow(window_);
  if (screensaverHeld_) {
    SDL_EnableScreenSaver();
    screensaverHeld_ = false;
  }
  visible_ = false;
}

void SdlWindow::Present(const Bitmap& frame, const Rect& area) {
  if (!texture_) return;
  const Rect r = area.Intersect(frame.Bounds()).Intersect(ClientRect());
  if (r.IsEmpty()) return;
  // Only the changed area travels to the texture; the texture keeps the rest
  // of the frame, so presenting it whole shows a complete picture every time.
  const SDL_Rect dst{r.left, r.top, r.Width(), r.Height()};
  SDL_UpdateTexture(texture_, &dst, frame.Row(r.top) + r.left, static_cast<int>(frame.StrideBytes()));
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

unsigned long SdlWindow::XWindowId() const {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11)
    return static_cast<unsigned long>(info.info.x11.window);
#endif
  return 0;
}

Point SdlWindow::CursorPos() const {
  int x = 0, y = 0;
  // Under X the global state is only read at start-up and goes stale; while
  // the pointer is over our window its position follows the motion events.
  if (SDL_GetMouseFocus() == window_) {
    int wx = 0, wy = 0;
    SDL_GetMouseState(&x, &y);
    SDL_GetWindowPosition(window_, &wx, &wy);
    return {x + wx, y + wy};
  }
  SDL_GetGlobalMouseState(&x, &y);
  return {x, y};
}

void SdlWindow::ShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void SdlWindow::HandleEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_QUIT:
      CloseRequested();
      break;
    case SDL_WINDOWEVENT:
      switch (e.window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
          InvalidateAll();
          break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          CreateTexture();
          InvalidateAll();
          if (handlers.onResize) handlers.onResize();
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          Activated();
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          Deactivated();
          break;
        case SDL_WINDOWEVENT_ENTER:
          MouseEnter();
          break;
        case SDL_WINDOWEVENT_LEAVE:
          MouseLeave();
          break;
        case SDL_WINDOWEVENT_CLOSE:
          CloseRequested();
          break;
        default:
          break;
      }
      break;
    case SDL_KEYDOWN:
      KeyDown(VirtualKeyFromSdl(e.key.keysym.sym), (e.key.keysym.mod & KMOD_ALT) != 0);
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.button == SDL_BUTTON_LEFT) leftDown_ = true;
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_LEFT && leftDown_) {
        leftDown_ = false;
        Click();
      }
      break;
    case SDL_MOUSEMOTION:
      MouseMove(e.motion.x, e.motion.y);
      break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      // The texture's pixels may be gone: have the whole frame sent again.
      if (e.type == SDL_RENDER_DEVICE_RESET) {
        if (texture_) SDL_DestroyTexture(texture_);
        texture_ = nullptr;
        width_ = height_ = 0;
      }
      CreateTexture();
      InvalidateAll();
      break;
    default:
      break;
  }
}

int VirtualKeyFromSdl(int32_t k) {
  if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
  if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
  if (k >= SDLK_F1 && k <= SDLK_F12) return vk::kF1 + (k - SDLK_F1);
  if (k >= SDLK_F13 && k <= SDLK_F24) return vk::kF1 + 12 + (k - SDLK_F13);
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return vk::kNumpad0 + 1 + (k - SDLK_KP_1);
  switch (k) {
    case SDLK_ESCAPE: return vk::kEscape;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER: return vk::kReturn;
    case SDLK_SPACE: return vk::kSpace;
    case SDLK_TAB: return vk::kTab;
    case SDLK_BACKSPACE: return vk::kBack;
    case SDLK_LEFT: return vk::kLeft;
    case SDLK_UP: return vk::kUp;
    case SDLK_RIGHT: return vk::kRight;
    case SDLK_DOWN: return vk::kDown;
    case SDLK_PAGEUP: return vk::kPrior;
    case SDLK_PAGEDOWN: return vk::kNext;
    case SDLK_HOME: return vk::kHome;
    case SDLK_END: return vk::kEnd;
    case SDLK_INSERT: return vk::kInsert;
    case SDLK_DELETE: return vk::kDelete;
    case SDLK_PRINTSCREEN: return vk::kSnapshot;
    case SDLK_PAUSE: return vk::kPause;
    case SDLK_CAPSLOCK: return vk::kCapital;
    case SDLK_NUMLOCKCLEAR: return vk::kNumLock;
    case SDLK_SCROLLLOCK: return vk::kScroll;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vk::kShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vk::kControl;
    case SDLK_LALT:
    case SDLK_RALT: return vk::kMenu;
    case SDLK_LGUI: return vk::kLWin;
    case SDLK_RGUI: return vk::kRWin;
    case SDLK_APPLICATION: return vk::kApps;
    case SDLK_KP_0: return vk::kNumpad0;
    case SDLK_KP_MULTIPLY: return vk::kMultiply;
    case SDLK_KP_PLUS: return vk::kAdd;
    case SDLK_KP_MINUS: return vk::kSubtract;
    case SDLK_KP_PERIOD: return vk::kDecimal;
    case SDLK_KP_DIVIDE: return vk::kDivide;
    case SDLK_SEMICOLON: return vk::kOem1;
    case SDLK_EQUALS: return vk::kOemPlus;
    case SDLK_COMMA: return vk::kOemComma;
    case SDLK_MINUS: return vk::kOemMinus;
    case SDLK_PERIOD: return vk::kOemPeriod;
    case SDLK_SLASH: return vk::kOem2;
    case SDLK_BACKQUOTE: return vk::kOem3;
    case SDLK_LEFTBRACKET: return vk::kOem4;
    case SDLK_BACKSLASH: return vk::kOem5;
    case SDLK_RIGHTBRACKET: return vk::kOem6;
    case SDLK_QUOTE: return vk::kOem7;
    default: return vk::kUnknown;
  }
}

}  // namespace ls
