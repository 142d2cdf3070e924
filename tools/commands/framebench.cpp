// lanternslide-tool framebench: how evenly a transition keeps its pace on a
// real window. Runs whole transitions (default step 2: 50 frames, delay 40)
// on the SDL backend's full-screen window and reports the intervals between
// frames, next to the time that drawing and presenting one frame takes.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "TransitionView/TransitionView.h"
#include "platform/app/sdl/SdlLoop.h"
#include "platform/app/sdl/SdlWindow.h"
#include "tools/Command.h"
#include "tools/commands/FrameTools.h"

namespace ls::tool {
namespace {

const char kUsage[] =
    "usage: lanternslide-tool framebench [--styles LIST] [--step S] [--delay MS] [--threaded]\n"
    "Runs one transition per listed style in the show window (full screen, SDL)\n"
    "and prints, per style, the mean and worst interval between frames and the\n"
    "mean time of drawing and presenting one frame, in milliseconds.\n"
    "  --styles LIST  style numbers, e.g. 5,60,118 (default 1,60,84,118,119)\n"
    "  --step S       progress step, 1..100 (default 2: 50 frames)\n"
    "  --delay MS     minimum time per frame (default 40)\n"
    "  --threaded     pace with the animation thread instead of the loop\n";

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Result {
  int style = 0;
  int frames = 0;
  double meanInterval = 0, worstInterval = 0, meanOff = 0, meanFrameWork = 0, meanPaint = 0;
};

int Run(const std::vector<std::string>& args) {
  std::vector<int> styles;
  int step = 2, delay = 40;
  bool threaded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    if (a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (a == "--styles") {
      const std::string* v = value();
      if (!v) return std::fputs(kUsage, stderr), 2;
      size_t from = 0;
      while (from <= v->size()) {
        size_t comma = v->find(',', from);
        if (comma == std::string::npos) comma = v->size();
        const auto s = ParseIntIn(v->substr(from, comma - from), 0, 127);
        if (!s) return std::fputs(kUsage, stderr), 2;
        styles.push_back(*s);
        from = comma + 1;
      }
    } else if (a == "--step") {
      const std::string* v = value();
      const auto s = v ? ParseIntIn(*v, 1, 100) : std::nullopt;
      if (!s) return std::fputs(kUsage, stderr), 2;
      step = *s;
    } else if (a == "--delay") {
      const std::string* v = value();
      const auto d = v ? ParseIntIn(*v, 0, 65535) : std::nullopt;
      if (!d) return std::fputs(kUsage, stderr), 2;
      delay = *d;
    } else if (a == "--threaded") {
      threaded = true;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (styles.empty()) styles = {1, 60, 84, 118, 119};

  SdlLoop loop;
  SetApplication(&loop);
  SdlWindow window(loop, "lanternslide framebench");
  const int W = window.ClientWidth(), H = window.ClientHeight();
  TTransitionView view(window);
  view.SetColor(0);
  window.Show();
  loop.ProcessMessages();

  const Bitmap pictures[2] = {TestOldPicture(W, H), TestNewPicture(W, H)};
  std::vector<Result> results;
  int next = 0;
  for (int style : styles) {
    // Bring the view to a picture first, then time the transition to the
    // other one.
    view.SetThreaded(false);
    view.SetStyle(0);
    view.SetPicture(pictures[next]);
    view.Execute();
    next ^= 1;

    std::vector<Clock::time_point> frameStart, frameDrawn, frameEnd;
    view.OnBeforeNewFrame = [&](const Bitmap&, Bitmap&) { frameStart.push_back(Clock::now()); };
    view.OnAfterNewFrame = [&](const Bitmap&, Bitmap&) { frameDrawn.push_back(Clock::now()); };
    view.OnProgress = [&] { frameEnd.push_back(Clock::now()); };
    view.OnComplete = [&] { loop.Terminate(); };
    view.SetPicture(pictures[next]);
    next ^= 1;
    view.SetStyle(static_cast<TShowStyle>(style));
    view.SetStep(static_cast<uint16_t>(step));
    view.SetDelay(static_cast<uint16_t>(delay));
    view.SetThreaded(threaded);
    view.Execute();
    if (threaded) {
      loop.ResetTerminated();
      loop.Run();
    }
    view.OnBeforeNewFrame = nullptr;
    view.OnAfterNewFrame = nullptr;
    view.OnProgress = nullptr;
    view.OnComplete = nullptr;

    // The reset frame (if any) precedes the run's own frames.
    const size_t n = std::min({frameStart.size(), frameDrawn.size(), frameEnd.size()});
    const size_t first = n > static_cast<size_t>((100 + step - 1) / step)
                             ? n - static_cast<size_t>((100 + step - 1) / step)
                             : 0;
    Result r;
    r.style = style;
    r.frames = static_cast<int>(n - first);
    double work = 0, paint = 0;
    for (size_t i = first; i < n; ++i) {
      work += Ms(frameEnd[i] - frameStart[i]);
      paint += Ms(frameEnd[i] - frameDrawn[i]);
    }
    r.meanFrameWork = r.frames ? work / r.frames : 0;
    r.meanPaint = r.frames ? paint / r.frames : 0;
    int intervals = 0;
    for (size_t i = first + 1; i < n; ++i) {
      const double d = Ms(frameStart[i] - frameStart[i - 1]);
      r.meanInterval += d;
      r.meanOff += std::abs(d - delay);
      r.worstInterval = std::max(r.worstInterval, d);
      ++intervals;
    }
    if (intervals) {
      r.meanInterval /= intervals;
      r.meanOff /= intervals;
    }
    results.push_back(r);
  }
  SetApplication(nullptr);

  std::printf("window %dx%d, step %d, delay %d ms, %s pacing, renderer vsync %s\n", W, H, step,
              delay, threaded ? "thread" : "loop", window.VSync() ? "on" : "off");
  std::printf("%5s %6s %14s %14s %16s %13s %13s\n", "style", "frames", "mean interval",
              "worst interval", "mean |off delay|", "frame work", "of it paint");
  for (const Result& r : results)
    std::printf("%5d %6d %14.2f %14.2f %16.2f %13.2f %13.2f\n", r.style, r.frames,
                r.meanInterval, r.worstInterval, r.meanOff, r.meanFrameWork, r.meanPaint);
  return 0;
}

}  // namespace

LS_TOOL_COMMAND(framebench, "framebench",
                "frame intervals of whole transitions on the real full-screen window", Run);

}  // namespace ls::tool
