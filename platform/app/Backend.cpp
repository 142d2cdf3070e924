#include "platform/app/Backend.h"

#include <stdexcept>

#include "platform/app/headless/HeadlessLoop.h"
#include "platform/app/headless/HeadlessWindow.h"
#include "platform/app/sdl/SdlLoop.h"
#include "platform/app/sdl/SdlWindow.h"

namespace ls {

std::optional<BackendKind> BackendByName(std::string_view name) {
  if (name == "sdl") return BackendKind::kSdl;
  if (name == "headless") return BackendKind::kHeadless;
  return std::nullopt;
}

const char* BackendName(BackendKind kind) {
  return kind == BackendKind::kSdl ? "sdl" : "headless";
}

std::unique_ptr<EventLoop> CreateEventLoop(BackendKind kind) {
  if (kind == BackendKind::kHeadless) return std::make_unique<HeadlessLoop>();
  return std::make_unique<SdlLoop>();
}

std::unique_ptr<Window> CreateShowWindow(EventLoop& loop, const std::string& title,
                                         int headlessWidth, int headlessHeight) {
  if (auto* headless = dynamic_cast<HeadlessLoop*>(&loop))
    return std::make_unique<HeadlessWindow>(*headless, headlessWidth, headlessHeight);
  if (auto* sdl = dynamic_cast<SdlLoop*>(&loop)) return std::make_unique<SdlWindow>(*sdl, title);
  throw std::runtime_error("no window backend for this loop");
}

}  // namespace ls
