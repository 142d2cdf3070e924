#include "platform/app/win32/Win32Loop.h"

#include <stdexcept>
#include <string>

namespace ls {

namespace {
// Messages handled in one pass at most: a window that keeps posting to itself
// must not hold back the timers and paints of the pass.
constexpr int kMaxMessagesPerPass = 256;
}  // namespace

Win32Loop::Win32Loop() {
  // Auto-reset: one wake-up ends one wait, however many calls were posted.
  wakeEvent_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!wakeEvent_)
    throw std::runtime_error("cannot create the loop's wake-up event (error " +
                             std::to_string(GetLastError()) + ")");
}

Win32Loop::~Win32Loop() { CloseHandle(wakeEvent_); }

uint32_t Win32Loop::GetTickCount() { return ::GetTickCount(); }

void Win32Loop::Sleep(uint32_t ms) { ::Sleep(ms); }

void Win32Loop::KeepException(std::exception_ptr e) {
  // The first one wins: later ones are usually its consequences.
  if (!kept_) kept_ = std::move(e);
}

void Win32Loop::RethrowKept() {
  if (!kept_) return;
  std::exception_ptr e = std::move(kept_);
  kept_ = nullptr;
  std::rethrow_exception(e);
}

bool Win32Loop::PumpInput() {
  // A wake-up that arrives from here on is for calls this pass may not see.
  ResetEvent(wakeEvent_);
  bool did = false;
  MSG msg;
  // A message that terminates the loop is the last of the batch: Run ends
  // with it, and the rest stays queued (ProcessMessages after a Terminate
  // still handles messages).
  const bool terminatedBefore = Terminated();
  for (int i = 0; i < kMaxMessagesPerPass && (terminatedBefore || !Terminated()) &&
                  PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);
       ++i) {
    did = true;
    if (msg.message == WM_QUIT) {
      // Someone on this thread asked the message loop to end.
      Terminate();
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    RethrowKept();
  }
  return did;
}

void Win32Loop::Idle(std::optional<uint32_t> nextTimer) {
  if (HasPostedCalls() || Terminated()) return;
  DWORD timeout = INFINITE;
  if (nextTimer) {
    const int32_t wait = TicksUntil(*nextTimer, GetTickCount());
    if (wait <= 0) return;
    timeout = static_cast<DWORD>(wait);
  }
  // MWMO_INPUTAVAILABLE: messages already in the queue end the wait too.
  MsgWaitForMultipleObjectsEx(1, &wakeEvent_, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void Win32Loop::Wake() { SetEvent(wakeEvent_); }

}  // namespace ls
