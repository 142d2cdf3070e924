#include "platform/app/win32/Win32Dpi.h"

#include <windows.h>

#include <mutex>

namespace ls {

namespace {

// Looked up by name: older systems have neither function.
template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  // Through the generic function pointer type, which converts to any other.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

void UsePhysicalPixels() {
  static std::once_flag once;
  std::call_once(once, [] {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and ..._PER_MONITOR_AWARE.
    const HANDLE kPerMonitorV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
    const HANDLE kPerMonitor = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3));
    if (auto set = User32Function<SetContext>("SetProcessDpiAwarenessContext")) {
      // Refused when the manifest (or an earlier call) already decided.
      if (set(kPerMonitorV2) || set(kPerMonitor)) return;
      if (GetLastError() == ERROR_ACCESS_DENIED) return;
    }
    using SetAware = BOOL(WINAPI*)();
    if (auto set = User32Function<SetAware>("SetProcessDPIAware")) set();
  });
}

}  // namespace ls
