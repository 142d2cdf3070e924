#pragma once
// Choosing the platform backend at start-up: the loop and the show's window
// come from the same backend.
//
//   auto loop = CreateEventLoop(BackendKind::kNative);
//   SetApplication(loop.get());
//   auto window = CreateShowWindow(*loop, "My show");
//
// For scripted input and the frame buffer, use the headless types directly
// (platform/app/headless/HeadlessLoop.h, HeadlessWindow.h).

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/app/EventLoop.h"
#include "platform/app/Window.h"

namespace ls {

enum class BackendKind {
  kNative,    // real time, a real full-screen window (SDL on Linux, Win32 on Windows)
  kHeadless,  // virtual time, an in-memory window with scripted input
};

// "native" (or the native backend's own name, "sdl" or "win32") or
// "headless"; nothing for any other name.
std::optional<BackendKind> BackendByName(std::string_view name);
const char* BackendName(BackendKind kind);

// Throws std::runtime_error when the backend cannot start.
std::unique_ptr<EventLoop> CreateEventLoop(BackendKind kind);

// The show's window on `loop` (a loop of either backend), created hidden.
// A headless window is `headlessWidth` x `headlessHeight`; a native window
// has the primary display's size. Throws std::runtime_error when no window can be
// opened (no display).
std::unique_ptr<Window> CreateShowWindow(EventLoop& loop, const std::string& title,
                                         int headlessWidth = 1024, int headlessHeight = 768);

}  // namespace ls
