#pragma once
// What each native backend of the application layer provides (platform/app/sdl
// on Linux, platform/app/win32 on Windows); Backend.h chooses between it and
// the headless backend.

#include <memory>
#include <string>

#include "platform/app/EventLoop.h"
#include "platform/app/Window.h"

namespace ls {

// The backend's own name ("sdl", "win32").
const char* NativeBackendName();
// Throws std::runtime_error when the backend cannot start.
std::unique_ptr<EventLoop> CreateNativeEventLoop();
// The show's window on a loop made by CreateNativeEventLoop, created hidden,
// with the primary display's size; nullptr when `loop` is of another backend.
// Throws std::runtime_error when no window can be opened.
std::unique_ptr<Window> CreateNativeShowWindow(EventLoop& loop, const std::string& title);

}  // namespace ls
