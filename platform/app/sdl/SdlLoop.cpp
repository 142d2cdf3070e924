#include "platform/app/sdl/SdlLoop.h"

#include <SDL.h>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include "platform/app/sdl/SdlWindow.h"

namespace ls {

SdlLoop::SdlLoop() {
  // Ctrl+C in a terminal should end the process as usual, not become a quit
  // event that a screensaver might ignore.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0)
    throw std::runtime_error(std::string("cannot start SDL events: ") + SDL_GetError());
  wakeEvent_ = SDL_RegisterEvents(1);
  if (wakeEvent_ == static_cast<uint32_t>(-1)) {
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    throw std::runtime_error("cannot register an SDL user event");
  }
}

SdlLoop::~SdlLoop() { SDL_QuitSubSystem(SDL_INIT_EVENTS); }

uint32_t SdlLoop::GetTickCount() { return static_cast<uint32_t>(SDL_GetTicks64()); }

void SdlLoop::Sleep(uint32_t ms) { SDL_Delay(ms); }

void SdlLoop::AddSdlWindow(SdlWindow* window) { sdlWindows_.push_back(window); }

void SdlLoop::RemoveSdlWindow(SdlWindow* window) {
  sdlWindows_.erase(std::remove(sdlWindows_.begin(), sdlWindows_.end(), window),
                    sdlWindows_.end());
}

SdlWindow* SdlLoop::WindowFor(uint32_t windowId) const {
  for (SdlWindow* w : sdlWindows_)
    if (w->Id() == windowId) return w;
  // Some events (keys before the first focus change) carry no window id: the
  // show has one window, so they are its.
  return sdlWindows_.empty() ? nullptr : sdlWindows_.front();
}

bool SdlLoop::PumpInput() {
  bool did = false;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (e.type == wakeEvent_) {
      wakePending_.store(false);
      continue;  // the posted calls themselves run right after the input
    }
    did = true;
    Dispatch(e);
  }
  return did;
}

void SdlLoop::Dispatch(const SDL_Event& e) {
  uint32_t windowId = 0;
  switch (e.type) {
    case SDL_QUIT:
      if (SdlWindow* w = WindowFor(0))
        w->HandleEvent(e);
      else
        Terminate();
      return;
    case SDL_WINDOWEVENT: windowId = e.window.windowID; break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: windowId = e.key.windowID; break;
    case SDL_MOUSEMOTION: windowId = e.motion.windowID; break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: windowId = e.button.windowID; break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      for (SdlWindow* w : sdlWindows_) w->HandleEvent(e);
      return;
    default: return;
  }
  if (SdlWindow* w = WindowFor(windowId)) w->HandleEvent(e);
}

void SdlLoop::Idle(std::optional<uint32_t> nextTimer) {
  if (HasPostedCalls() || Terminated()) return;
  if (!nextTimer) {
    SDL_WaitEvent(nullptr);
    return;
  }
  const int32_t wait = TicksUntil(*nextTimer, GetTickCount());
  if (wait <= 0) return;
  SDL_WaitEventTimeout(nullptr, wait);
}

void SdlLoop::Wake() {
  // One wake-up event in the queue is enough for any number of posts.
  if (wakePending_.exchange(true)) return;
  SDL_Event e{};
  e.type = wakeEvent_;
  if (SDL_PushEvent(&e) < 0) wakePending_.store(false);
}

}  // namespace ls
