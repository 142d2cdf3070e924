// Timings of the hot drawing paths, each beside a plain memcpy of the same
// frame. Not a test: run by hand, figures vary with the machine's load.
//
//   bench_graphics [repeats]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "platform/graphics/Draw.h"
#include "platform/graphics/Region.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best of `repeats` runs, in milliseconds.
double Time(int repeats, const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < repeats; ++i) {
    const auto t0 = Clock::now();
    work();
    const std::chrono::duration<double, std::milli> d = Clock::now() - t0;
    best = std::min(best, d.count());
  }
  return best;
}

ls::Bitmap Noise(int w, int h, unsigned seed) {
  ls::Bitmap b(w, h);
  std::mt19937 rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Set(x, y, rng() & 0x00FFFFFFu);
  return b;
}

volatile int64_t sink;

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  using ls::Rect;
  using ls::Region;

  {
    // 2000 random 40 x 40 squares, added in row-major order of their corners.
    const Rect view{0, 0, 1024, 768};
    std::mt19937 rng(1);
    std::vector<Rect> squares;
    for (int i = 0; i < 2000; ++i) {
      const int x = static_cast<int>(rng() % 1024), y = static_cast<int>(rng() % 768);
      squares.push_back({x - 20, y - 20, x + 20, y + 20});
    }
    std::sort(squares.begin(), squares.end(), [](const Rect& a, const Rect& b) {
      return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    const double ms = Time(repeats, [&] {
      Region r(view);
      for (const Rect& s : squares) r.AddRect(s);
      sink = r.Area();
    });
    std::printf("AddRect, 2000 random 40x40 squares, row order, 1024x768: %.3f ms\n", ms);
    const double rowGrid = Time(repeats, [&] {
      Region r(view);
      for (int y = 0; y < 768; y += 20)
        for (int x = 0; x < 1024; x += 20) r.AddRect({x - 20, y - 20, x + 20, y + 20});
      sink = r.Area();
    });
    std::printf("AddRect, 2028 grid squares 40x40, row order, 1024x768: %.3f ms\n", rowGrid);
    // The random-squares style adds them column by column on a grid.
    const double grid = Time(repeats, [&] {
      Region r(view);
      for (int x = 0; x < 1024; x += 20)
        for (int y = 0; y < 768; y += 20)
          if (rng() % 100 < 50) r.AddRect({x - 20, y - 20, x + 20, y + 20});
      sink = r.Area();
    });
    std::printf("AddRect, grid squares by columns (p = 50), 1024x768: %.3f ms\n", grid);
  }

  for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
    const Rect view{0, 0, w, h};
    std::printf("\n%dx%d\n", w, h);
    const double rr = Time(repeats, [&] {
      const Region r = Region::FromRoundRect({-2 * w, -5, w, h + 5}, 2 * w, 2 * w, view);
      sink = r.Area();
    });
    std::printf("  FromRoundRect (curved reveal half way): %.3f ms\n", rr);
    const double xr = Time(repeats, [&] {
      // The circular reveal to the centre half way: the view minus a rounded rectangle.
      Region r = Region::FromRect(view, view);
      r.Xor(Region::FromRoundRect(view, 9 * (w / 2) / 5, 9 * (h / 2) / 5, view));
      sink = r.Area();
    });
    std::printf("  Rect XOR FromRoundRect:                 %.3f ms\n", xr);
    const ls::Point tri[] = {{0, 0}, {w, 0}, {0, h}};
    const double poly = Time(repeats, [&] { sink = Region::FromPolygon(tri, view).Area(); });
    std::printf("  FromPolygon (half-view triangle):       %.3f ms\n", poly);

    const ls::Bitmap src = Noise(w, h, 5);
    ls::Bitmap dst(w, h);
    const size_t bytes = static_cast<size_t>(w) * h * sizeof(ls::Pixel);
    const double mc = Time(repeats, [&] { std::memcpy(dst.Data(), src.Data(), bytes); });
    std::printf("  memcpy of a frame:                      %.3f ms\n", mc);
    const double whole = Time(repeats, [&] { ls::DrawWhole(dst, src); });
    std::printf("  DrawWhole:                              %.3f ms\n", whole);
    const double sc = Time(repeats, [&] { ls::StretchCopy(dst, view, src, view); });
    std::printf("  StretchCopy unscaled, whole frame:      %.3f ms\n", sc);
    const double half = Time(repeats, [&] {
      ls::StretchCopy(dst, view, src, {0, 0, w / 2, h / 2});
    });
    std::printf("  StretchCopy 2x up, whole frame:         %.3f ms\n", half);
    const double squeeze = Time(repeats, [&] {
      ls::StretchCopy(dst, view, src, {0, 0, w * 3 / 4, h});
    });
    std::printf("  StretchCopy 3/4 -> whole, frame:        %.3f ms\n", squeeze);
    const double near = Time(repeats, [&] {
      ls::StretchCopy(dst, view, src, {0, 0, w - w / 40, h - h / 40});
    });
    std::printf("  StretchCopy 39/40 -> whole, frame:      %.3f ms\n", near);
    const double mirror = Time(repeats, [&] {
      ls::StretchCopy(dst, w - 1, 0, -w, h, src, 0, 0, w, h);
    });
    std::printf("  StretchCopy mirrored, whole frame:      %.3f ms\n", mirror);

    const Region full = Region::FromRect(view, view);
    const double thr = Time(repeats, [&] { ls::DrawThroughRegion(dst, src, full); });
    std::printf("  DrawThroughRegion, whole view:          %.3f ms\n", thr);
    Region bars(view);
    for (int y = 0; y < h + 5; y += 10) bars.AddRect({w / 2, y, w, y + 5});
    const double thb = Time(repeats, [&] { ls::DrawThroughRegion(dst, src, bars); });
    std::printf("  DrawThroughRegion, half-width bars:     %.3f ms\n", thb);
    Region squares(view);
    std::mt19937 rng(9);
    const int d = std::min(w, h) / 50 + 5;
    for (int x = 0; x < w; x += d)
      for (int y = 0; y < h; y += d)
        if (rng() % 100 < 50) squares.AddRect({x - d, y - d, x + d, y + d});
    const double ths = Time(repeats, [&] { ls::DrawThroughRegion(dst, src, squares); });
    std::printf("  DrawThroughRegion, random squares:      %.3f ms\n", ths);
    const double scc = Time(repeats, [&] { ls::StretchCopy(dst, view, src, view, &squares); });
    std::printf("  StretchCopy through random squares:     %.3f ms\n", scc);
  }
  return 0;
}
