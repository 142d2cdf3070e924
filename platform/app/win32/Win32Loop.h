#pragma once
// The real loop on Windows: the clock is the system's tick count, input is the
// thread's message queue (every window of the thread is served: the media
// players' and the preview's windows rely on it), and other threads wake the
// loop through an event. The loop waits in MsgWaitForMultipleObjectsEx until a
// message arrives, another thread posts, or the next timer is due; which
// timers fire is decided by the layer's own timer list, so an interval of 0
// never fires and a late timer fires once.

#include <windows.h>

#include <cstdint>
#include <exception>

#include "platform/app/EventLoop.h"

namespace ls {

class Win32Loop : public EventLoop {
 public:
  // Throws std::runtime_error when the wake-up event cannot be made.
  Win32Loop();
  ~Win32Loop() override;

  uint32_t GetTickCount() override;
  void Sleep(uint32_t ms) override;

  // A C++ exception must not unwind through the system's frames of a window
  // procedure: the procedures of this backend keep it here, and the loop
  // throws it again once the system has returned.
  void KeepException(std::exception_ptr e);
  void RethrowKept();

 protected:
  bool PumpInput() override;
  void Idle(std::optional<uint32_t> nextTimer) override;
  void Wake() override;

 private:
  HANDLE wakeEvent_ = nullptr;
  std::exception_ptr kept_;
};

}  // namespace ls
