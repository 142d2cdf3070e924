#include "show/RunShow.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

#include "platform/app/Backend.h"
#include "platform/random/Random.h"
#include "show/ScreensaverForm.h"
#include "show/SplashForm.h"

namespace ls {

int RunShowMode(const std::string& programPath) {
  try {
    std::unique_ptr<EventLoop> loop = CreateEventLoop(BackendKind::kSdl);
    SetApplication(loop.get());
    struct Unset {
      ~Unset() { SetApplication(nullptr); }
    } unset;
    // A different sequence for every show: the base seed comes from the time of day.
    SharedRandom().SetBaseSeed(static_cast<uint64_t>(
        std::chrono::system_clock::now().time_since_epoch().count()));

    std::unique_ptr<Window> splashWindow = CreateShowWindow(*loop, "lanternslide");
    auto splash = std::make_unique<TSplashForm>(*splashWindow);
    splash->ShowAndPaint();

    std::unique_ptr<Window> showWindow = CreateShowWindow(*loop, "Screen Saver");
    {
      ShowEnvironment env;
      env.programPath = programPath;
      env.window = showWindow.get();
      env.media = MediaBackend::kSdl;
      TScreensaverForm form(env);
      showWindow->Show();
      loop->Run();
    }  // the show window's destruction: players stopped, working folder deleted
    showWindow.reset();
    splash->Hide();
    splash.reset();
    splashWindow.reset();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lanternslide: %s\n", e.what());
    return 1;
  }
}

}  // namespace ls
