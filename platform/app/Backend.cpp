#include "platform/app/Backend.h"

#include <stdexcept>

#include "platform/app/NativeBackend.h"
#include "platform/app/headless/HeadlessLoop.h"
#include "platform/app/headless/HeadlessWindow.h"

namespace ls {

std::optional<BackendKind> BackendByName(std::string_view name) {
  if (name == "native" || name == NativeBackendName()) return BackendKind::kNative;
  if (name == "headless") return BackendKind::kHeadless;
  return std::nullopt;
}

const char* BackendName(BackendKind kind) {
  return kind == BackendKind::kNative ? NativeBackendName() : "headless";
}

std::unique_ptr<EventLoop> CreateEventLoop(BackendKind kind) {
  if (kind == BackendKind::kHeadless) return std::make_unique<HeadlessLoop>();
  return CreateNativeEventLoop();
}

std::unique_ptr<Window> CreateShowWindow(EventLoop& loop, const std::string& title,
                                         int headlessWidth, int headlessHeight) {
  if (auto* headless = dynamic_cast<HeadlessLoop*>(&loop))
    return std::make_unique<HeadlessWindow>(*headless, headlessWidth, headlessHeight);
  if (std::unique_ptr<Window> window = CreateNativeShowWindow(loop, title)) return window;
  throw std::runtime_error("no window backend for this loop");
}

}  // namespace ls
