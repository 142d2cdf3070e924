// The region builders. Every rectangle is merged into the result as soon as
// it is made, so no builder holds a list; the first rectangle made becomes the
// result, which is why "no rectangle at all" stays distinguishable from an
// empty region.

#include "TransitionView/RegionBuilders.h"

#include <algorithm>
#include <vector>

#include "platform/random/Random.h"

namespace ls {
namespace {

// Released regions kept for reuse, per thread (frames are drawn on one); a
// frame needs at most two at once (the overlap of two bar lattices).
constexpr size_t kScratchRegions = 2;
thread_local std::vector<Region> scratch;

class RegionBuild {
 public:
  RegionBuild(int W, int H) : bounds_{0, 0, std::max(W, 0), std::max(H, 0)} {}

  void Add(int left, int top, int right, int bottom) {
    if (!result_) result_ = TakeScratchRegion(bounds_);
    result_->AddRect({left, top, right, bottom});
  }
  std::optional<Region> Take() { return std::move(result_); }

 private:
  Rect bounds_;
  std::optional<Region> result_;
};

// Random(n): one draw from the shared generator, 0 <= r < n.
int Draw(int n) { return SharedRandom().Next(n); }

// One pass of the bars: `along` is the extent of the bars' growth (A or B),
// `length` the view's size along it (W or H) and `across` the other size.
// add(from, to, at, atEnd) adds the bar covering [from, to) along the growth
// and [at, atEnd) across it.
template <typename AddFn>
void BarsPass(int along, int length, int across, int snap, int kind, AddFn add) {
  if (kind == 0) return;
  if (along > length) {  // second half: complete the bars above, grow the ones between
    for (int y = 5; y < across + 5; y += 10) {
      add(0, length, y - 5, y);
      if (kind == 1 || kind == 4)
        add(2 * length - along, length, y, y + 5);
      else if (kind == 2 || kind == 5)
        add(0, along - length, y, y + 5);
    }
    return;
  }
  if (along + snap > length) along = length;
  for (int y = 0; y < across + 5; y += 10) {
    switch (kind) {
      case 1:
      case 5:
        add(length - along, length, y, y + 5);
        break;
      case 2:
      case 4:
        add(0, along, y, y + 5);
        break;
      case 3:
        add(length - along, length, y, y + 5);
        add(0, along, y + 5, y + 10);
        break;
    }
  }
}

}  // namespace

Region TakeScratchRegion(const Rect& bounds) {
  for (size_t i = 0; i < scratch.size(); ++i) {
    if (scratch[i].Bounds() != bounds) continue;
    Region region = std::move(scratch[i]);
    scratch.erase(scratch.begin() + static_cast<ptrdiff_t>(i));
    // Intersecting with nothing empties every row but keeps its storage.
    region.Intersect(Region(bounds));
    return region;
  }
  return Region(bounds);
}

void ReleaseScratchRegions() { std::vector<Region>().swap(scratch); }

void ReturnScratchRegion(Region&& region) {
  if (scratch.size() >= kScratchRegions) scratch.erase(scratch.begin());
  scratch.push_back(std::move(region));
}

std::optional<Region> BarsRgn(int A, int B, int W, int H, int snap, int hkind, int vkind) {
  RegionBuild build(W, H);
  BarsPass(A, W, H, snap, hkind,
           [&](int x0, int x1, int y0, int y1) { build.Add(x0, y0, x1, y1); });
  BarsPass(B, H, W, snap, vkind,
           [&](int y0, int y1, int x0, int x1) { build.Add(x0, y0, x1, y1); });
  return build.Take();
}

std::optional<Region> ShredRgn(int A, int B, int W, int H, int hkind, int vkind) {
  RegionBuild build(W, H);
  if (hkind != 0) {
    const int c = A < W ? W / 7 : 0;
    for (int y = 0; y < H; y += 5) {
      const int bottom = y + 5 + H % 5;  // the last strip reaches the bottom edge
      const int r1 = Draw(c), r2 = Draw(c), r3 = Draw(c), r4 = Draw(c);
      switch (hkind) {
        case 1:
          build.Add(W - A + r1 - r2, y, W, bottom);
          break;
        case 2:
          build.Add(0, y, A + r1 - r2, bottom);
          break;
        case 3:
          build.Add((W - A + r1 - r2) / 2, y, W / 2, bottom);
          build.Add(W / 2, y, (W + A + r3 - r4) / 2, bottom);
          break;
        default:
          build.Add(W - (A + r1 - r2) / 2, y, W, bottom);
          build.Add(0, y, (A + r3 - r4) / 2, bottom);
          break;
      }
    }
  }
  if (vkind != 0 && W > 0) {
    const int c = B < H ? H / 7 : 0;
    // Columns are tall: most of each one's rows are covered by every column
    // whatever the draws (the part a jitter of j = c - 1 either way cannot
    // uncover). That common part goes in as one rectangle per strip end, and
    // each column adds only the rows it may not share, cut at the common
    // part. The union is the same as column by column, and the draws are
    // made in the same order.
    const int j = std::max(c - 1, 0);
    const int lastRight = ((W - 1) / 5) * 5 + 5 + W % 5;
    const int h2 = H / 2;
    // Where the common part ends (the strip end furthest back).
    const int fromBottom = H - B + j;      // kind 1 tops
    const int fromTop = B - j;             // kind 2 bottoms
    const int middleTop = (H - B + j) / 2;       // kind 3
    const int middleBottom = (H + B - j) / 2;
    const int edgeTop = H - (B - j) / 2;   // kind 4
    const int edgeBottom = (B - j) / 2;
    switch (vkind) {
      case 1:
        build.Add(0, fromBottom, lastRight, H);
        break;
      case 2:
        build.Add(0, 0, lastRight, fromTop);
        break;
      case 3:
        build.Add(0, middleTop, lastRight, h2);
        build.Add(0, h2, lastRight, middleBottom);
        break;
      default:
        build.Add(0, edgeTop, lastRight, H);
        build.Add(0, 0, lastRight, edgeBottom);
        break;
    }
    for (int x = 0; x < W; x += 5) {
      const int right = x + 5 + W % 5;
      const int r1 = Draw(c), r2 = Draw(c), r3 = Draw(c), r4 = Draw(c);
      switch (vkind) {
        case 1:  // (x, H - B + r1 - r2, right, H)
          build.Add(x, H - B + r1 - r2, right, fromBottom);
          break;
        case 2:  // (x, 0, right, B + r1 - r2)
          build.Add(x, fromTop, right, B + r1 - r2);
          break;
        case 3:  // (x, (H - B + r1 - r2) div 2, right, H div 2) and (x, H div 2, right, (H + B + r3 - r4) div 2)
          build.Add(x, (H - B + r1 - r2) / 2, right, std::min(middleTop, h2));
          build.Add(x, std::max(middleBottom, h2), right, (H + B + r3 - r4) / 2);
          break;
        default:  // (x, H - (B + r1 - r2) div 2, right, H) and (x, 0, right, (B + r3 - r4) div 2)
          build.Add(x, H - (B + r1 - r2) / 2, right, edgeTop);
          build.Add(x, edgeBottom, right, (B + r3 - r4) / 2);
          break;
      }
    }
  }
  return build.Take();
}

std::optional<Region> SpeckleRgn(int A, int B, int W, int H, int hkind, int vkind) {
  RegionBuild build(W, H);
  // A row (or column) is the solid part plus the squares chosen ahead of it;
  // rows are f deep and f div 2 apart, so they overlap. Adding the row's
  // rectangles straight into the result gives the same union as building the
  // row apart first.
  struct Zone {
    int f, n, t;
  };
  auto zone = [](int extent, int size) {
    const int e = extent < size ? size / 10 : 0;
    const int f = std::max(e / 20, 2);
    return Zone{f, e / f, ((3 * e) / f) / 4};
  };
  // A square i places from the solid edge: with probability 2/i within the
  // threshold, 1/i beyond it (the nearest always).
  auto chosen = [](int i, int t) { return Draw(i) <= (i <= t ? 1 : 0); };
  if (hkind != 0) {
    const Zone z = zone(A, W);
    for (int y = 0; y < H; y += z.f / 2) {
      if (hkind == 1) {
        build.Add(W - A, y, W, y + z.f);
        for (int i = z.n; i >= 1; --i)
          if (chosen(i, z.t)) build.Add(W - A - i * z.f, y, W - A - i * z.f + z.f, y + z.f);
      } else {
        build.Add(0, y, A, y + z.f);
        for (int i = z.n; i >= 1; --i)
          if (chosen(i, z.t)) build.Add(A + i * z.f - z.f, y, A + i * z.f, y + z.f);
      }
    }
  }
  if (vkind != 0 && W > 0) {
    const Zone z = zone(B, H);
    // The columns' solid parts overlap one another (f deep, f div 2 apart),
    // so together they are one rectangle reaching to the last column's right
    // edge; adding it at once spares a span per column and row. The union
    // is the same.
    const int step = z.f / 2;
    const int lastRight = ((W - 1) / step) * step + z.f;
    if (vkind == 1)
      build.Add(0, H - B, lastRight, H);
    else
      build.Add(0, 0, lastRight, B);
    for (int x = 0; x < W; x += step) {
      if (vkind == 1) {
        for (int i = z.n; i >= 1; --i)
          if (chosen(i, z.t)) build.Add(x, H - B - i * z.f, x + z.f, H - B - i * z.f + z.f);
      } else {
        for (int i = z.n; i >= 1; --i)
          if (chosen(i, z.t)) build.Add(x, B + i * z.f - z.f, x + z.f, B + i * z.f);
      }
    }
  }
  return build.Take();
}

std::optional<Region> RandomSquaresRgn(int W, int H, int p) {
  RegionBuild build(W, H);
  const int d = std::max((W < H ? W : H) / 50 + p / 10, 1);
  for (int x = 0; x < W; x += d)
    for (int y = 0; y < H; y += d)
      if (Draw(100) < p) build.Add(x - d, y - d, x + d, y + d);
  return build.Take();
}

Region TriangleRgn(int x0, int y0, int x1, int y1, int x2, int y2, int W, int H) {
  const Point corners[4] = {{x0, y0}, {x1, y1}, {x2, y2}, {x0, y0}};
  return Region::FromPolygon(corners, Rect{0, 0, std::max(W, 0), std::max(H, 0)});
}

}  // namespace ls
