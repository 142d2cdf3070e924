// The SDL backend as the native one of Linux.
#include "platform/app/NativeBackend.h"
#include "platform/app/sdl/SdlLoop.h"
#include "platform/app/sdl/SdlWindow.h"

namespace ls {

const char* NativeBackendName() { return "sdl"; }

std::unique_ptr<EventLoop> CreateNativeEventLoop() { return std::make_unique<SdlLoop>(); }

std::unique_ptr<Window> CreateNativeShowWindow(EventLoop& loop, const std::string& title) {
  auto* sdl = dynamic_cast<SdlLoop*>(&loop);
  if (!sdl) return nullptr;
  return std::make_unique<SdlWindow>(*sdl, title);
}

}  // namespace ls
