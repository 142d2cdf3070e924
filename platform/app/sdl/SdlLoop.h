#pragma once
// The real loop on SDL: the clock is real milliseconds, input comes from SDL's
// event queue, and other threads wake the loop with an SDL user event.
// Works without a display (only SDL's event subsystem is started); windows
// start the video subsystem themselves.

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/app/EventLoop.h"

union SDL_Event;

namespace ls {

class SdlWindow;

class SdlLoop : public EventLoop {
 public:
  // Throws std::runtime_error when SDL cannot start its event subsystem.
  SdlLoop();
  ~SdlLoop() override;

  uint32_t GetTickCount() override;
  void Sleep(uint32_t ms) override;

  // Window bookkeeping for event routing; called by SdlWindow only.
  void AddSdlWindow(SdlWindow* window);
  void RemoveSdlWindow(SdlWindow* window);

 protected:
  bool PumpInput() override;
  void Idle(std::optional<uint32_t> nextTimer) override;
  void Wake() override;

 private:
  void Dispatch(const SDL_Event& e);
  SdlWindow* WindowFor(uint32_t windowId) const;

  uint32_t wakeEvent_ = 0;
  std::atomic<bool> wakePending_{false};
  std::vector<SdlWindow*> sdlWindows_;
};

}  // namespace ls
