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
    std::unique_ptr<EventLoop> loop = CreateEventLoop(BackendKind::kNative);
    SetApplication(loop.get());
    struct Unset {
      ~Unset() { SetApplication(nullptr); }
    } unset;
    // A different sequence for every show: the base seed comes from the time of day.
    SharedRandom().SetBaseSeed(static_cast<uint64_t>(
        std::chrono::system_clock::now().time_since_epoch().count()));

    // The start-up form and the show window are both black, full screen and
    // on top, and the show window covers the start-up form for good once it
    // is shown. They share one platform window: opening a second full-screen
    // window costs about a second, and two of them on top of each other
    // leave their stacking to the desktop.
    std::unique_ptr<Window> window = CreateShowWindow(*loop, "Screen Saver");
    TSplashForm splash(*window);
    splash.ShowAndPaint();
    {
      ShowEnvironment env;
      env.programPath = programPath;
      env.window = window.get();
      env.media = MediaBackend::kNative;
      TScreensaverForm form(env);
      // The show window comes up: its view paints over the start-up form.
      window->Show();
      window->InvalidateAll();
      loop->Run();
    }  // the show window's destruction: players stopped, working folder deleted
    splash.Hide();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lanternslide: %s\n", e.what());
    return 1;
  }
}

}  // namespace ls
