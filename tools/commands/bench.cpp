// lanternslide-tool bench: the mean time of one frame per transition style
// over a whole transition (step 2: 50 frames), next to a plain memcpy of one
// frame measured in the same run.
#include <ctime>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TransitionView/DrawFrame.h"
#include "platform/random/Random.h"
#include "tools/Command.h"
#include "tools/commands/FrameTools.h"

namespace ls::tool {
namespace {

const char kUsage[] =
    "usage: lanternslide-tool bench [--size WxH] [--styles LIST] [--repeat N] [--json]\n"
    "Times every listed style over a whole transition (step 2, 50 frames, one\n"
    "thread) and a plain memcpy of one frame; prints milliseconds of processor\n"
    "time per frame.\n"
    "  --size WxH     frame size (default 1920x1080)\n"
    "  --styles LIST  style numbers and ranges, e.g. 0-127 or 1,5,118-122 (default 0-127)\n"
    "  --repeat N     run each transition N times and keep the fastest (default 3)\n"
    "  --json         one JSON object: {\"size\": ..., \"memcpy_ms\": ..., \"styles\": {...}}\n";

constexpr int kStep = 2;
constexpr int kFrames = 100 / kStep;

// Processor time of this process: on a machine shared with other work it
// measures what the drawing itself costs, where wall time would add the
// waits for the processor.
struct Clock {
  static std::clock_t now() { return std::clock(); }
};

double Milliseconds(std::clock_t ticks) { return 1000.0 * ticks / CLOCKS_PER_SEC; }

// "0-127", "1,5,118-122": every number 0..127 listed once, in order given.
bool ParseStyles(const std::string& text, std::vector<int>& styles) {
  size_t i = 0;
  while (i <= text.size()) {
    size_t j = text.find(',', i);
    if (j == std::string::npos) j = text.size();
    const std::string item = text.substr(i, j - i);
    const size_t dash = item.find('-');
    std::optional<int> lo, hi;
    if (dash == std::string::npos) {
      lo = hi = ParseIntIn(item, 0, 127);
    } else {
      lo = ParseIntIn(item.substr(0, dash), 0, 127);
      hi = ParseIntIn(item.substr(dash + 1), 0, 127);
    }
    if (!lo || !hi || *lo > *hi) return false;
    for (int s = *lo; s <= *hi; ++s) styles.push_back(s);
    i = j + 1;
  }
  return !styles.empty();
}

struct Timing {
  double memcpyMs = 0;
  std::vector<std::pair<int, double>> styles;
};

double TimeMemcpy(const Bitmap& from, Bitmap& to, int repeat) {
  const size_t bytes = static_cast<size_t>(from.Width()) * from.Height() * sizeof(Pixel);
  double best = 1e300;
  for (int r = 0; r < repeat; ++r) {
    const auto start = Clock::now();
    for (int f = 0; f < kFrames; ++f) {
      std::memcpy(to.Data(), from.Data(), bytes);
      // Keep the copies from being merged: each one is observed.
      asm volatile("" : : "r"(to.Data()) : "memory");
    }
    best = std::min(best, Milliseconds(Clock::now() - start) / kFrames);
  }
  return best;
}

double TimeStyle(int style, const Bitmap& oldImage, const Bitmap& newImage, Bitmap& screen,
                 int repeat) {
  QuietFrameHost host;
  FrameState state;
  state.oldImage = &oldImage;
  state.newImage = &newImage;
  state.screen = &screen;
  state.style = static_cast<uint8_t>(style);
  state.step = kStep;
  double best = 1e300;
  for (int r = 0; r < repeat; ++r) {
    const auto start = Clock::now();
    for (int f = 1; f <= kFrames; ++f) {
      state.progress = static_cast<uint8_t>(f * kStep);
      DrawFrame(host, state);
    }
    best = std::min(best, Milliseconds(Clock::now() - start) / kFrames);
  }
  return best;
}

int Bench(const std::vector<std::string>& args) {
  int width = 1920, height = 1080;
  std::vector<int> styles;
  int repeat = 3;
  bool json = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--json") {
      json = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      std::fprintf(stderr, "bench: %s\n%s", ("unknown or incomplete option " + a).c_str(), kUsage);
      return 2;
    }
    const std::string& v = args[++i];
    bool ok;
    if (a == "--size") {
      ok = ParseFrameSize(v, width, height);
    } else if (a == "--styles") {
      styles.clear();
      ok = ParseStyles(v, styles);
    } else if (a == "--repeat") {
      auto n = ParseIntIn(v, 1, 1000);
      ok = n.has_value();
      if (ok) repeat = *n;
    } else {
      std::fprintf(stderr, "bench: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    }
    if (!ok) {
      std::fprintf(stderr, "bench: bad value for %s: %s\n", a.c_str(), v.c_str());
      return 2;
    }
  }
  if (styles.empty())
    for (int s = 0; s < 128; ++s) styles.push_back(s);

  const Bitmap oldImage = TestOldPicture(width, height);
  const Bitmap newImage = TestNewPicture(width, height);
  Bitmap screen(width, height);
  SharedRandom().SetBaseSeed(1);

  Timing t;
  t.memcpyMs = TimeMemcpy(oldImage, screen, repeat);
  for (int style : styles) t.styles.emplace_back(style, TimeStyle(style, oldImage, newImage, screen, repeat));
  // The memory bandwidth may drift while the styles run; measure again and
  // keep the faster figure.
  t.memcpyMs = std::min(t.memcpyMs, TimeMemcpy(oldImage, screen, repeat));

  if (json) {
    std::printf("{\"size\": \"%dx%d\", \"memcpy_ms\": %.4f, \"styles\": {", width, height,
                t.memcpyMs);
    for (size_t i = 0; i < t.styles.size(); ++i)
      std::printf("%s\"%d\": %.4f", i ? ", " : "", t.styles[i].first, t.styles[i].second);
    std::printf("}}\n");
    return 0;
  }
  std::printf("size %dx%d, step %d (%d frames), fastest of %d runs\n", width, height, kStep,
              kFrames, repeat);
  std::printf("memcpy of one frame: %.3f ms\n\n%5s %9s %7s  %s\n", t.memcpyMs, "style",
              "ms/frame", "xmemcpy", "name");
  for (const auto& [style, ms] : t.styles)
    std::printf("%5d %9.3f %7.2f  %s\n", style, ms, ms / t.memcpyMs, StyleNameOf(style).c_str());
  return 0;
}

}  // namespace

LS_TOOL_COMMAND(bench, "bench", "time every transition style per frame", Bench);

}  // namespace ls::tool
