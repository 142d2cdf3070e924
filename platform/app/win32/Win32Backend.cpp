#include "platform/app/NativeBackend.h"
#include "platform/app/win32/Win32Loop.h"
#include "platform/app/win32/Win32Window.h"

namespace ls {

const char* NativeBackendName() { return "win32"; }

std::unique_ptr<EventLoop> CreateNativeEventLoop() { return std::make_unique<Win32Loop>(); }

std::unique_ptr<Window> CreateNativeShowWindow(EventLoop& loop, const std::string& title) {
  auto* win32 = dynamic_cast<Win32Loop*>(&loop);
  if (!win32) return nullptr;
  return std::make_unique<Win32Window>(*win32, title);
}

}  // namespace ls
