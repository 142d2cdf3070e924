// bench_show: the show's start-up and slide latencies.
//
//   bench_show slide [JPEG]   the time from a slide's tick to the first frame of
//                             its transition, for a 24-megapixel JPEG (made
//                             when none is given) on a 1920x1080 view, headless
//   bench_show startup SCR    the time from starting SCR /s to the first frame
//                             of the start-up form on the X display ($DISPLAY)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "platform/app/headless/HeadlessLoop.h"
#include "platform/app/headless/HeadlessWindow.h"
#include "platform/graphics/Picture.h"
#include "show/ScreensaverForm.h"

// Xlib last: its macros would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A photograph-like 6000x4000 JPEG: smooth gradients with fine noise, so the
// entropy decoding has real work to do.
bool WriteBigJpeg(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  jpeg_compress_struct c;
  jpeg_error_mgr e;
  c.err = jpeg_std_error(&e);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, f);
  c.image_width = 6000;
  c.image_height = 4000;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(6000 * 3);
  std::mt19937 rng(1);
  while (c.next_scanline < c.image_height) {
    const int y = static_cast<int>(c.next_scanline);
    for (int x = 0; x < 6000; ++x) {
      const int n = static_cast<int>(rng() % 14);
      row[3 * x] = static_cast<unsigned char>(std::min(255, 60 + x / 40 + n));
      row[3 * x + 1] = static_cast<unsigned char>(std::min(255, 40 + y / 25 + n));
      row[3 * x + 2] = static_cast<unsigned char>(
          std::min(255, 100 + static_cast<int>(80 * std::sin(x / 300.0 + y / 500.0)) + n));
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  return std::fclose(f) == 0;
}

int BenchSlide(std::string jpeg) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("bench-show-" + std::to_string(getpid()));
  fs::create_directories(dir / "tmp");
  if (jpeg.empty()) {
    jpeg = (dir / "big.jpg").string();
    if (!WriteBigJpeg(jpeg)) return 1;
  }
  std::printf("picture: %s, %.1f MB\n", jpeg.c_str(), fs::file_size(jpeg) / 1e6);
  setenv("TMPDIR", (dir / "tmp/").c_str(), 1);
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  {
    FILE* ini = std::fopen((dir / "tmp/globalscreensaverini.ini").c_str(), "w");
    std::fprintf(ini, "[Picture]\nImageCount=1\n[Pictures]\nFile0=%s\nFile0Size=3\nFile0TransitionMode=118\n",
                 jpeg.c_str());
    std::fclose(ini);
  }
  for (bool fit : {false, true}) {
    const auto t0 = Clock::now();
    const std::clock_t c0 = std::clock();
    ls::PictureLoadOptions o;
    if (fit) o.fitWidth = 1920, o.fitHeight = 1080;
    auto b = ls::LoadPictureFile(jpeg, nullptr, o);
    std::printf("decode %s: %.1f ms wall, %.1f ms CPU (%dx%d)\n",
                fit ? "with the 1920x1080 fit box" : "at full size", Ms(Clock::now() - t0),
                1000.0 * (std::clock() - c0) / CLOCKS_PER_SEC, b ? b->Width() : 0,
                b ? b->Height() : 0);
  }

  ls::HeadlessLoop loop(0);
  ls::SetApplication(&loop);
  ls::HeadlessWindow window(loop, 1920, 1080);
  window.Show();
  ls::ShowEnvironment env;
  env.programPath = (dir / "player").string();
  env.window = &window;
  env.media = ls::MediaBackend::kHeadless;
  std::vector<double> times;
  {
    ls::TScreensaverForm form(env);
    loop.RunFor(150);  // the splash step: no image, first slide armed
    form.ScreenTimer.SetEnabled(false);
    Clock::time_point tick, first;
    std::clock_t tickCpu = 0, firstCpu = 0;
    bool waiting = false;
    window.onPresented = [&](const ls::Rect&) {
      if (waiting) {
        first = Clock::now();
        firstCpu = std::clock();
        waiting = false;
      }
    };
    std::vector<double> cpu;
    for (int i = 0; i < 5; ++i) {
      waiting = true;
      tick = Clock::now();
      tickCpu = std::clock();
      form.ScreenTimerTimer();  // the whole transition, in virtual time
      form.ScreenTimer.SetEnabled(false);
      times.push_back(Ms(first - tick));
      cpu.push_back(1000.0 * (firstCpu - tickCpu) / CLOCKS_PER_SEC);
      std::printf("  tick %d: %.1f ms wall, %.1f ms CPU\n", i + 1, times.back(), cpu.back());
    }
    std::sort(cpu.begin(), cpu.end());
    std::printf("tick to first transition frame, CPU time: median %.1f ms\n", cpu[cpu.size() / 2]);
  }
  ls::SetApplication(nullptr);
  std::sort(times.begin(), times.end());
  std::printf("tick to first transition frame (headless, 1920x1080, 24 MP JPEG): median %.1f ms, "
              "min %.1f, max %.1f\n",
              times[times.size() / 2], times.front(), times.back());
  fs::remove_all(dir);
  return 0;
}

// The start-up form is black with a white line at (24, 24): look for white
// near the top-left corner with black all around.
bool SplashOnScreen(Display* d) {
  const ::Window root = DefaultRootWindow(d);
  XImage* img = XGetImage(d, root, 0, 0, 400, 120, AllPlanes, ZPixmap);
  if (!img) return false;
  int white = 0, black = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 400; ++x) {
      const unsigned long p = XGetPixel(img, x, y) & 0xFFFFFF;
      if ((p & 0xE0E0E0) == 0xE0E0E0 && y >= 20 && y < 50) ++white;  // near white
      if (p == 0) ++black;
    }
  XDestroyImage(img);
  if (std::getenv("BENCH_SHOW_DEBUG")) std::fprintf(stderr, "white %d black %d\n", white, black);
  return white >= 10 && black > 400 * 120 * 8 / 10;
}

int BenchStartup(const std::string& scr) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "bench_show startup: no display\n");
    return 1;
  }
  std::vector<double> times;
  for (int run = 0; run < 3; ++run) {
    const auto t0 = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
      execl(scr.c_str(), scr.c_str(), "/s", static_cast<char*>(nullptr));
      _exit(127);
    }
    double found = -1;
    while (Ms(Clock::now() - t0) < 30000) {
      if (SplashOnScreen(d)) {
        found = Ms(Clock::now() - t0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    kill(pid, SIGTERM);
    int status;
    waitpid(pid, &status, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::printf("run %d: first frame of the start-up form after %.0f ms\n", run + 1, found);
    times.push_back(found);
  }
  XCloseDisplay(d);
  std::sort(times.begin(), times.end());
  std::printf("process start to the start-up form's first frame: median %.0f ms\n", times[1]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "slide") return BenchSlide(argc > 2 ? argv[2] : "");
  if (what == "startup" && argc > 2) return BenchStartup(argv[2]);
  std::fprintf(stderr, "usage: bench_show slide [JPEG] | bench_show startup SCREENSAVER\n");
  return 2;
}
