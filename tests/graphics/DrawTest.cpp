#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/graphics/Draw.h"

namespace ls {
namespace {

constexpr Pixel kOld = 0x00EEEEEE;

// Pixel value 1000 * (y + 1) + x + 1: every source pixel tells where it came from.
Bitmap Numbered(int w, int h) {
  Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.Set(x, y, static_cast<Pixel>(1000 * (y + 1) + x + 1));
  return b;
}

Bitmap Filled(int w, int h, Pixel p = kOld) {
  Bitmap b(w, h);
  FillRect(b, b.Bounds(), p);
  return b;
}

// Source column of a destination pixel written by a stretch copy from Numbered().
int SourceX(Pixel p) { return static_cast<int>(p % 1000) - 1; }
int SourceY(Pixel p) { return static_cast<int>(p / 1000) - 1; }

// One row of a copy, shown as the source columns (or '.' for untouched).
std::string RowSources(const Bitmap& b, int y) {
  std::string s;
  for (int x = 0; x < b.Width(); ++x) {
    if (b.At(x, y) == kOld) {
      s += '.';
    } else {
      s += static_cast<char>('0' + SourceX(b.At(x, y)));
    }
  }
  return s;
}

TEST(StretchCopy, SamplesTheSourcePixelUnderEachDestinationCentre) {
  struct Case {
    int dx, dw, sx, sw;
    const char* want;  // 10 destination columns
  };
  const Case cases[] = {
      {2, 4, 1, 4, "..1234...."},   // unscaled
      {0, 8, 0, 4, "00112233.."},   // doubled
      {0, 6, 0, 4, "011233...."},   // j = (2i + 1) * 4 / 12
      {0, 3, 0, 9, "147......."},   // every third, centre sample
      {3, -4, 0, 4, "3210......"},  // destination mirrored: columns 0..3
      {0, 4, 3, -4, "3210......"},  // source mirrored: columns 3 down to 0
      {3, -4, 3, -4, "0123......"}, // both mirrored: no mirror
      {9, -5, 0, 5, ".....43210"},  // the x + width - 1, -width convention
      {-2, 6, 0, 6, "2345......"},  // cut at the left edge
      {7, 6, 0, 6, ".......012"},   // cut at the right edge
      {0, 6, 7, 6, "789......."},   // source past its right edge: not read
      {0, 6, -3, 6, "...012...."},  // source before its left edge: not read
      {0, 0, 0, 4, ".........."},   // zero extents copy nothing
      {0, 4, 0, 0, ".........."},
  };
  const Bitmap src = Numbered(10, 1);
  for (const Case& c : cases) {
    Bitmap dst = Filled(10, 1);
    StretchCopy(dst, c.dx, 0, c.dw, 1, src, c.sx, 0, c.sw, 1);
    EXPECT_EQ(RowSources(dst, 0), c.want) << c.dx << " " << c.dw << " <- " << c.sx << " " << c.sw;
  }
}

TEST(StretchCopy, RowsFollowTheSameRuleAsColumns) {
  const Bitmap src = Numbered(3, 5);
  Bitmap dst = Filled(3, 8);
  StretchCopy(dst, 0, 7, 3, -8, src, 0, 1, 3, 4);  // rows 1..4, doubled, upside down
  const int want[8] = {4, 4, 3, 3, 2, 2, 1, 1};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(SourceY(dst.At(x, y)), want[y]) << x << "," << y;
      EXPECT_EQ(SourceX(dst.At(x, y)), x);
    }
}

TEST(StretchCopy, WritesOnlyInsideTheClipRegion) {
  const Bitmap src = Numbered(6, 3);
  Bitmap dst = Filled(6, 3);
  Region clip({0, 0, 6, 3});
  clip.AddRect({1, 0, 3, 1});
  clip.AddRect({4, 0, 6, 2});
  StretchCopy(dst, 0, 0, 6, 3, src, 0, 0, 6, 3, &clip);
  EXPECT_EQ(RowSources(dst, 0), ".12.45");
  EXPECT_EQ(RowSources(dst, 1), "....45");
  EXPECT_EQ(RowSources(dst, 2), "......");
  Bitmap mirrored = Filled(6, 3);
  StretchCopy(mirrored, 5, 0, -6, 3, src, 0, 0, 6, 3, &clip);
  EXPECT_EQ(RowSources(mirrored, 0), ".43.10");
}

// The roll of the unroll along the width at half way on 1024 x 768: the strip
// (614, 0, 716, 768) mirrored left to right into (512, 0, 614, 768).
TEST(StretchCopy, MirroredRollLandsNextToTheUnrolledPart) {
  const int W = 1024, H = 4;
  Bitmap src(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) src.Set(x, y, static_cast<Pixel>(x + 1));
  Bitmap dst = Filled(W, H);
  // Destination left and right swapped, each moved one pixel outward.
  StretchCopy(dst, 614 - 1, 0, (512 - 1) - (614 - 1), H, src, 614, 0, 102, H);
  for (int x = 0; x < W; ++x) {
    const Pixel want = (x >= 512 && x < 614) ? static_cast<Pixel>(715 - (x - 512) + 1) : kOld;
    ASSERT_EQ(dst.At(x, 2), want) << x;
  }
}

// Every combination of signs, scales and positions against the rule applied
// one destination pixel at a time.
TEST(StretchCopy, AgreesWithThePerPixelRule) {
  std::mt19937 rng(3);
  std::uniform_int_distribution<int> pos(-12, 30), ext(-25, 25);
  const Bitmap src = Numbered(17, 13);
  Region clip({0, 0, 19, 11});
  clip.AddRect({0, 0, 7, 11});
  clip.AddRect({9, 3, 19, 8});
  for (int round = 0; round < 3000; ++round) {
    const int dx = pos(rng), dy = pos(rng), dw = ext(rng), dh = ext(rng);
    const int sx = pos(rng), sy = pos(rng);
    int sw = ext(rng), sh = ext(rng);
    if (round % 4 == 1) {  // unscaled, plain or mirrored: the copy's fast paths
      sw = (sw < 0 ? -1 : 1) * std::abs(dw);
      sh = (sh < 0 ? -1 : 1) * std::abs(dh);
    }
    const bool clipped = round % 3 == 0;
    Bitmap dst = Filled(19, 11);
    StretchCopy(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, clipped ? &clip : nullptr);
    Bitmap want = Filled(19, 11);
    for (int i = 0; i < std::abs(dw); ++i)
      for (int k = 0; k < std::abs(dh); ++k) {
        if (sw == 0 || sh == 0) continue;
        const int x = dw > 0 ? dx + i : dx - i;
        const int y = dh > 0 ? dy + k : dy - k;
        const int j = (2 * i + 1) * std::abs(sw) / (2 * std::abs(dw));
        const int l = (2 * k + 1) * std::abs(sh) / (2 * std::abs(dh));
        const int u = sw > 0 ? sx + j : sx - j;
        const int v = sh > 0 ? sy + l : sy - l;
        if (!want.Bounds().Contains(x, y) || !src.Bounds().Contains(u, v)) continue;
        if (clipped && !clip.Contains(x, y)) continue;
        want.Set(x, y, src.At(u, v));
      }
    ASSERT_EQ(dst, want) << "dst " << dx << "," << dy << " " << dw << "x" << dh << " src " << sx
                         << "," << sy << " " << sw << "x" << sh << (clipped ? " clipped" : "");
  }
}

TEST(StretchCopy, ExtremeCoordinatesAreCutWithoutOverflow) {
  const Bitmap src = Numbered(4, 4);
  Bitmap dst = Filled(4, 4);
  // Origin far left, extent reaching just across the bitmap: one source
  // pixel spread over 2^31 - 1 columns covers all four columns.
  StretchCopy(dst, -(INT32_MAX - 4), 0, INT32_MAX, 1, src, 2, 0, 1, 1);
  EXPECT_EQ(RowSources(dst, 0), "2222");
  // 2^31 - 1 source columns over 2^31 mirrored ones: a scale of nearly 1.
  StretchCopy(dst, 3, 1, INT32_MIN, 1, src, 0, 0, INT32_MAX, 1);
  EXPECT_EQ(RowSources(dst, 1), "3210");
  StretchCopy(dst, INT32_MAX, 2, INT32_MAX, 1, src, 0, 0, 4, 1);
  EXPECT_EQ(RowSources(dst, 2), "....");
  DrawBitmap(dst, INT32_MAX, INT32_MAX, src);
  DrawBitmap(dst, INT32_MIN, INT32_MIN, src);
  EXPECT_EQ(RowSources(dst, 3), "....");
}

TEST(DrawThroughRegion, CopiesTheRegionsPixelsInPlace) {
  const Bitmap src = Numbered(5, 3);
  Bitmap dst = Filled(5, 3);
  Region region({-2, -2, 9, 9});
  region.AddRect({-2, 1, 2, 9});
  region.AddRect({3, 0, 9, 1});
  DrawThroughRegion(dst, src, region);
  EXPECT_EQ(RowSources(dst, 0), "...34");
  EXPECT_EQ(RowSources(dst, 1), "01...");
  EXPECT_EQ(RowSources(dst, 2), "01...");
  EXPECT_EQ(SourceY(dst.At(1, 2)), 2);
  // A smaller source leaves the rest alone.
  const Bitmap tiny = Numbered(2, 1);
  Bitmap dst2 = Filled(5, 3);
  DrawThroughRegion(dst2, tiny, Region::FromRect({0, 0, 5, 3}, {0, 0, 5, 3}));
  EXPECT_EQ(RowSources(dst2, 0), "01...");
  EXPECT_EQ(RowSources(dst2, 1), ".....");
}

TEST(DrawBitmap, PlacesAndCutsTheWholeBitmap) {
  const Bitmap src = Numbered(3, 2);
  Bitmap dst = Filled(5, 3);
  DrawBitmap(dst, 3, 2, src);
  EXPECT_EQ(RowSources(dst, 1), ".....");
  EXPECT_EQ(RowSources(dst, 2), "...01");
  Bitmap dst2 = Filled(5, 3);
  DrawBitmap(dst2, -2, -1, src);
  EXPECT_EQ(RowSources(dst2, 0), "2....");
  EXPECT_EQ(SourceY(dst2.At(0, 0)), 1);
  EXPECT_EQ(RowSources(dst2, 1), ".....");
  Bitmap dst3 = Filled(5, 3);
  DrawWhole(dst3, Numbered(5, 3));
  EXPECT_EQ(dst3, Numbered(5, 3));
}

TEST(FillRect, FillsOnlyTheRectangleInsideTheBitmap) {
  Bitmap b(4, 3);
  FillRect(b, {-1, 1, 2, 9}, 0x00123456);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(b.At(x, y), (y >= 1 && x < 2) ? 0x00123456u : 0u) << x << "," << y;
}

}  // namespace
}  // namespace ls
