// The fade and the pivot against their per-pixel formulas.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "TransitionView/PixelStyles.h"
#include "tests/transitions/FrameTestSupport.h"

namespace ls {
namespace {

uint32_t Fade(uint32_t f, uint32_t n, uint32_t p) { return (f * (100 - p) + n * p) / 100; }

TEST(FadeBlend, EveryByteAtEveryProgressIsTheExactWeightedMean) {
  // Every pair (f, n) of byte values, in all three colour bytes with
  // different pairings, at every progress.
  Bitmap frame0(256, 256), fresh(256, 256);
  for (uint32_t y = 0; y < 256; ++y)
    for (uint32_t x = 0; x < 256; ++x) {
      frame0.Set(x, y, x | (255 - x) << 8 | (x ^ 0x5A) << 16 | 0xAB000000u);
      fresh.Set(x, y, y | (y ^ 0xC3) << 8 | (255 - y) << 16);
    }
  for (uint32_t p = 0; p <= 100; ++p) {
    // Every processor path: the widest vectors, and the ones every x86-64 has.
    AllowWideVectors(p % 2 == 0);
    Bitmap frame = frame0;
    FadeBlend(frame, fresh, static_cast<int>(p));
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const Pixel f = frame0.At(x, y), n = fresh.At(x, y);
        const Pixel expected = Fade(f & 0xFF, n & 0xFF, p) | Fade((f >> 8) & 0xFF, (n >> 8) & 0xFF, p) << 8 |
                               Fade((f >> 16) & 0xFF, (n >> 16) & 0xFF, p) << 16;
        ASSERT_EQ(frame.At(x, y), expected) << "p " << p << " at " << x << "," << y;
      }
  }
  AllowWideVectors(true);
}

TEST(FadeBlend, WorkedValuesAndOddWidths) {
  for (int w : {1, 3, 5, 7, 9, 17, 33}) {  // widths that end in a partial group of pixels
    Bitmap frame(w, 2), fresh(w, 2);
    FillRect(frame, frame.Bounds(), 0xFFC8FF);
    FillRect(fresh, fresh.Bounds(), 0x006400);
    Bitmap half = frame;
    FadeBlend(half, fresh, 50);
    EXPECT_EQ(half.At(w - 1, 1), 0x7F967Fu) << w;  // 255 over 0 -> 127; 200 over 100 -> 150
    Bitmap thirty = frame;
    FadeBlend(thirty, fresh, 30);
    EXPECT_EQ((thirty.At(w - 1, 1) >> 8) & 0xFF, 170u) << w;  // 200 over 100 at 30 -> 170
  }
}

// The pivot exactly as defined, in double precision.
Bitmap PivotReference(const Bitmap& oldImage, const Bitmap& newImage, int cx, int cy, int p) {
  Bitmap out = oldImage;
  const double theta = (100 - p) * std::numbers::pi / 200;
  const double c = std::cos(theta), s = std::sin(theta);
  const int W = newImage.Width(), H = newImage.Height();
  for (int row = 0; row < H; ++row)
    for (int col = 0; col < W; ++col) {
      const double dx = col - cx, dy = row - cy;
      const int sx = static_cast<int>(std::nearbyint(dx * c - dy * s)) + cx;
      const int sy = static_cast<int>(std::nearbyint(dx * s + dy * c)) + cy;
      if (sx >= 0 && sx < W && sy >= 0 && sy < H) out.Set(col, row, newImage.At(sx, sy));
    }
  return out;
}

TEST(PivotRotate, MatchesTheDoubleFormulaAtEveryProgressAboutEveryCorner) {
  const int W = 157, H = 103;
  const Bitmap oldImage = test::OldPicture(W, H), newImage = test::NewPicture(W, H);
  const struct {
    int cx, cy;
  } pivots[] = {{-1, -1}, {-1, H}, {W, -1}, {W, H}, {W / 2, H / 3}};
  for (const auto& pivot : pivots)
    for (int p = 0; p <= 100; ++p) {
      AllowWideVectors(p % 2 == 1);  // both processor paths
      Bitmap frame = oldImage;
      PivotRotate(frame, newImage, pivot.cx, pivot.cy, PivotAngle(p));
      ASSERT_EQ(frame, PivotReference(oldImage, newImage, pivot.cx, pivot.cy, p))
          << "pivot " << pivot.cx << "," << pivot.cy << " p " << p;
    }
  AllowWideVectors(true);
}

TEST(PivotRotate, LargeViewMatchesTheDoubleFormula) {
  // Long rows: the walk along a row must not drift.
  const int W = 1920, H = 64;
  const Bitmap oldImage = test::OldPicture(W, H), newImage = test::NewPicture(W, H);
  for (int p : {1, 37, 50, 93}) {
    Bitmap frame = oldImage;
    PivotRotate(frame, newImage, -1, H, PivotAngle(p));
    ASSERT_EQ(frame, PivotReference(oldImage, newImage, -1, H, p)) << p;
  }
}

TEST(PivotStyles, EndPointsAndHalfway) {
  const int W = 40, H = 30;
  const Bitmap oldImage = test::OldPicture(W, H), newImage = test::NewPicture(W, H);
  Bitmap identity = oldImage;
  PivotRotate(identity, newImage, -1, -1, PivotAngle(100));
  EXPECT_EQ(identity, newImage);
  Bitmap quarter = oldImage;
  PivotRotate(quarter, newImage, -1, -1, PivotAngle(0));
  EXPECT_EQ(quarter, oldImage);  // every source column is negative
  EXPECT_DOUBLE_EQ(PivotAngle(50), std::numbers::pi / 4);
  // p = 50 about (-1, -1): frame (10, 20) has dx = 11, dy = 21;
  // sx = Round((11 - 21) * 0.7071) - 1 = -8 (outside, old kept);
  // frame (20, 2): dx = 21, dy = 3 -> sx = Round(12.73) - 1 = 12,
  // sy = Round(16.97) - 1 = 16.
  auto run = test::RunFrame(oldImage, newImage, 119, 50);
  EXPECT_EQ(run.frame.At(10, 20), oldImage.At(10, 20));
  EXPECT_EQ(run.frame.At(20, 2), newImage.At(12, 16));
}

}  // namespace
}  // namespace ls
