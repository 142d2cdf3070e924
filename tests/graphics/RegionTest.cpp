#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "platform/graphics/Region.h"

namespace ls {
namespace {

// A region's pixels as a plain mask, the model the span lists must match.
struct Mask {
  Rect bounds;
  std::vector<char> on;
  explicit Mask(const Rect& b)
      : bounds(b), on(static_cast<size_t>(b.Width()) * b.Height(), 0) {}
  char& At(int x, int y) {
    return on[static_cast<size_t>(y - bounds.top) * bounds.Width() + (x - bounds.left)];
  }
  void Add(const Rect& r) {
    const Rect c = r.Intersect(bounds);
    for (int y = c.top; y < c.bottom; ++y)
      for (int x = c.left; x < c.right; ++x) At(x, y) = 1;
  }
};

// Checks the region's pixels against the mask and its spans for order.
void ExpectMatches(const Region& region, Mask& mask) {
  int64_t count = 0;
  for (int y = mask.bounds.top; y < mask.bounds.bottom; ++y) {
    int lastEnd = INT32_MIN;
    for (const Span& s : region.RowSpans(y)) {
      ASSERT_LT(s.x0, s.x1) << "empty span in row " << y;
      ASSERT_GT(s.x0, lastEnd) << "spans overlap or touch in row " << y;
      ASSERT_GE(s.x0, mask.bounds.left);
      ASSERT_LE(s.x1, mask.bounds.right);
      lastEnd = s.x1;
    }
    for (int x = mask.bounds.left; x < mask.bounds.right; ++x) {
      ASSERT_EQ(region.Contains(x, y), mask.At(x, y) != 0) << "pixel " << x << "," << y;
      count += mask.At(x, y);
    }
  }
  EXPECT_EQ(region.Area(), count);
}

int64_t RowCover(const Region& r, int y) {
  int64_t n = 0;
  for (const Span& s : r.RowSpans(y)) n += s.x1 - s.x0;
  return n;
}

TEST(Region, RectangleCoversRightAndBottomExclusiveCutToBounds) {
  const Rect view{0, 0, 8, 6};
  const Region r = Region::FromRect({-3, 4, 2, 9}, view);
  EXPECT_EQ(r.Extent(), (Rect{0, 4, 2, 6}));
  EXPECT_EQ(r.Area(), 4);
  EXPECT_TRUE(r.Contains(1, 5));
  EXPECT_FALSE(r.Contains(2, 5));
  EXPECT_FALSE(r.Contains(1, 3));
  EXPECT_TRUE(Region::FromRect({3, 3, 3, 5}, view).IsEmpty());
  EXPECT_TRUE(Region::FromRect({5, 3, 4, 5}, view).IsEmpty());
  EXPECT_TRUE(Region::FromRect({9, 0, 20, 6}, view).IsEmpty());
  EXPECT_TRUE(Region().IsEmpty());
  EXPECT_TRUE(Region().RowSpans(0).empty());
}

TEST(Region, TouchingRectanglesJoinIntoOneSpan) {
  Region r({0, 0, 20, 1});
  r.AddRect({10, 0, 15, 1});
  r.AddRect({0, 0, 5, 1});
  r.AddRect({5, 0, 10, 1});  // fills the gap exactly
  ASSERT_EQ(r.RowSpans(0).size(), 1u);
  EXPECT_EQ(r.RowSpans(0)[0], (Span{0, 15}));
  r.AddRect({16, 0, 18, 1});
  r.AddRect({2, 0, 17, 1});  // swallows two spans
  ASSERT_EQ(r.RowSpans(0).size(), 1u);
  EXPECT_EQ(r.RowSpans(0)[0], (Span{0, 18}));
}

TEST(Region, RandomRectanglesMatchAPixelMask) {
  const Rect view{-7, 3, 90, 61};
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> x(-20, 110), y(-10, 80), size(0, 25);
  for (int round = 0; round < 20; ++round) {
    Region region(view);
    Mask mask(view);
    for (int i = 0; i < 60; ++i) {
      const int x0 = x(rng), y0 = y(rng);
      const Rect r{x0, y0, x0 + size(rng), y0 + size(rng)};
      region.AddRect(r);
      mask.Add(r);
    }
    ExpectMatches(region, mask);
  }
}

TEST(Region, NarrowRectanglesInRandomOrderMakeLongRowsThatMatchAPixelMask) {
  const Rect view{0, 0, 300, 3};
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> x(-2, 300), width(1, 3), row(0, 2);
  Region region(view);
  Mask mask(view);
  for (int i = 0; i < 400; ++i) {
    const int x0 = x(rng), y0 = row(rng);
    const Rect r{x0, y0, x0 + width(rng), y0 + 1 + row(rng) / 2};
    region.AddRect(r);
    mask.Add(r);
    if (i % 50 == 0) ExpectMatches(region, mask);
  }
  ExpectMatches(region, mask);
  EXPECT_GT(region.RowSpans(1).size(), 30u);
}

TEST(Region, CombinationsMatchAPixelMask) {
  const Rect view{0, 0, 64, 48};
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> x(-10, 70), size(1, 30);
  auto randomShape = [&](Region& region, Mask& mask) {
    for (int i = 0; i < 12; ++i) {
      const int x0 = x(rng), y0 = x(rng);
      const Rect r{x0, y0, x0 + size(rng), y0 + size(rng)};
      region.AddRect(r);
      mask.Add(r);
    }
  };
  for (int round = 0; round < 30; ++round) {
    Region a(view), b(view);
    Mask ma(view), mb(view);
    randomShape(a, ma);
    randomShape(b, mb);
    Region u = a, i = a, x = a;
    u.Union(b);
    i.Intersect(b);
    x.Xor(b);
    Mask mu(view), mi(view), mx(view);
    for (size_t k = 0; k < ma.on.size(); ++k) {
      mu.on[k] = ma.on[k] | mb.on[k];
      mi.on[k] = ma.on[k] & mb.on[k];
      mx.on[k] = ma.on[k] ^ mb.on[k];
    }
    ExpectMatches(u, mu);
    ExpectMatches(i, mi);
    ExpectMatches(x, mx);
  }
}

TEST(Region, XorOfTouchingSpansJoinsThemAndSelfXorIsEmpty) {
  const Rect view{0, 0, 20, 2};
  Region a = Region::FromRect({0, 0, 5, 2}, view);
  a.Xor(Region::FromRect({5, 0, 10, 1}, view));
  ASSERT_EQ(a.RowSpans(0).size(), 1u);
  EXPECT_EQ(a.RowSpans(0)[0], (Span{0, 10}));
  EXPECT_EQ(a.RowSpans(1)[0], (Span{0, 5}));
  Region b = a;
  b.Xor(a);
  EXPECT_TRUE(b.IsEmpty());
  b = a;
  b.Clear();
  EXPECT_TRUE(b.IsEmpty());
  b = a;
  b.Union(b);
  EXPECT_EQ(b, a);
}

TEST(Region, CombiningWithWiderBoundsKeepsOwnBounds) {
  Region small = Region::FromRect({0, 0, 4, 4}, {0, 0, 4, 4});
  const Region wide = Region::FromRect({-10, -10, 10, 10}, {-10, -10, 10, 10});
  small.Xor(wide);
  EXPECT_TRUE(small.IsEmpty());
  small.Union(wide);
  EXPECT_EQ(small.Extent(), (Rect{0, 0, 4, 4}));
  EXPECT_EQ(small.Area(), 16);
}

TEST(Region, EqualityComparesPixelsNotBounds) {
  const Region a = Region::FromRect({2, 2, 5, 5}, {0, 0, 10, 10});
  const Region b = Region::FromRect({2, 2, 5, 5}, {-5, -5, 20, 20});
  EXPECT_EQ(a, b);
  const Region c = Region::FromRect({2, 2, 5, 6}, {-5, -5, 20, 20});
  EXPECT_FALSE(a == c);
  EXPECT_EQ(Region({0, 0, 3, 3}), Region({5, 5, 9, 9}));
}

// 2 x 2 corners of a 6 x 4 rectangle: every centre of the box's corner pixel
// lies outside the quarter circle, so exactly the four corner pixels go.
TEST(RoundRect, SmallShapePixelByPixel) {
  const Rect view{0, 0, 8, 6};
  const Region r = Region::FromRoundRect({1, 1, 7, 5}, 4, 4, view);
  const char* want[] = {
      "........",  //
      "..####..",  //
      ".######.",  //
      ".######.",  //
      "..####..",  //
      "........",
  };
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x)
      EXPECT_EQ(r.Contains(x, y), want[y][x] == '#') << x << "," << y;
}

// A 10 x 10 circle: inside when (x + 0.5 - 5)^2 + (y + 0.5 - 5)^2 <= 25.
TEST(RoundRect, FullEllipseSamplesPixelCentres) {
  const Rect view{0, 0, 10, 10};
  const Region r = Region::FromRoundRect(view, 10, 10, view);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const double dx = x + 0.5 - 5, dy = y + 0.5 - 5;
      EXPECT_EQ(r.Contains(x, y), dx * dx + dy * dy <= 25) << x << "," << y;
    }
}

TEST(RoundRect, OversizedEllipseIsReducedToTheRectangle) {
  const Rect view{0, 0, 40, 30};
  const Rect box{3, 2, 33, 22};
  EXPECT_EQ(Region::FromRoundRect(box, 500, 900, view), Region::FromRoundRect(box, 30, 20, view));
  EXPECT_EQ(Region::FromRoundRect(box, -12, -8, view), Region::FromRoundRect(box, 12, 8, view));
  // Below two pixels either way no corner is cut.
  EXPECT_EQ(Region::FromRoundRect(box, 1, 20, view), Region::FromRect(box, view));
  EXPECT_EQ(Region::FromRoundRect(box, 0, 0, view), Region::FromRect(box, view));
  EXPECT_TRUE(Region::FromRoundRect({5, 5, 5, 9}, 4, 4, view).IsEmpty());
}

TEST(RoundRect, IsSymmetricAndHasStraightSidesBetweenCorners) {
  const Rect view{0, 0, 100, 80};
  const Region r = Region::FromRoundRect({10, 5, 91, 70}, 31, 23, view);
  for (int y = 5; y < 70; ++y) {
    const auto row = r.RowSpans(y);
    ASSERT_EQ(row.size(), 1u) << y;
    EXPECT_EQ(row[0].x0 - 10, 91 - row[0].x1) << "left-right symmetry, row " << y;
    const auto mirror = r.RowSpans(5 + 69 - y)[0];
    EXPECT_EQ(row[0], mirror) << "top-bottom symmetry, row " << y;
    if (y >= 5 + 11 && y < 70 - 11) {
      EXPECT_EQ(row[0], (Span{10, 91})) << y;
    }
  }
  EXPECT_GT(r.RowSpans(5)[0].x0, 10);
}

// The curved reveal at half way on 1024 x 768: a half ellipse 1024 deep,
// 778 high, reaching 5 rows past the view at the top and bottom.
TEST(RoundRect, HalfEllipseEdgeOfCurvedReveal) {
  const Rect view{0, 0, 1024, 768};
  const Region r = Region::FromRoundRect({-2048, -5, 1024, 773}, 2048, 2048, view);
  EXPECT_GE(RowCover(r, 384), 1020);
  EXPECT_NEAR(RowCover(r, 0), 171, 3);
  EXPECT_NEAR(RowCover(r, 767), 171, 3);
  for (int y = 0; y < 768; ++y) {
    ASSERT_EQ(r.RowSpans(y).size(), 1u);
    EXPECT_EQ(r.RowSpans(y)[0].x0, 0);
    // The right quarter ellipse is centred on column 0 with semi-axes 1024
    // and 389; the last pixel's centre lies on or inside it.
    const double dy = (y + 5 + 0.5 - 389) / 389.0;
    const double edge = 1024 * std::sqrt(1 - dy * dy);
    EXPECT_NEAR(r.RowSpans(y)[0].x1, edge, 1.0) << y;
  }
}

TEST(Polygon, RightTriangleCoversTheCentresAboveTheAntiDiagonal) {
  const Rect view{0, 0, 1024, 768};
  const Point tri[] = {{0, 0}, {1024, 0}, {0, 768}, {0, 0}};
  const Region r = Region::FromPolygon(tri, view);
  for (int y = 0; y < 768; ++y) {
    // Centre (x + 0.5, y + 0.5) inside when x + 0.5 < 1024 (1 - (y + 0.5) / 768).
    const double edge = 1024.0 * (1 - (y + 0.5) / 768.0);
    const int want = static_cast<int>(std::ceil(edge - 0.5));
    ASSERT_EQ(r.RowSpans(y).size(), 1u);
    EXPECT_EQ(r.RowSpans(y)[0], (Span{0, want})) << y;
  }
  EXPECT_EQ(r.Area(), 1024 * 768 / 2);
  EXPECT_FALSE(r.Contains(1023, 767));
  EXPECT_TRUE(r.Contains(0, 767));
}

TEST(Polygon, DegenerateShapesAreEmpty) {
  const Rect view{0, 0, 50, 50};
  const Point line[] = {{0, 0}, {10, 10}, {40, 40}, {0, 0}};
  const Point flat[] = {{0, 5}, {40, 5}, {20, 5}};
  const Point two[] = {{0, 0}, {40, 40}};
  EXPECT_TRUE(Region::FromPolygon(line, view).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon(flat, view).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon(two, view).IsEmpty());
  EXPECT_TRUE(Region::FromPolygon({}, view).IsEmpty());
}

TEST(Region, ExtremeCoordinatesAreCutWithoutOverflow) {
  const Rect view{0, 0, 16, 8};
  EXPECT_EQ(Region::FromRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, view).Area(), 128);
  const Region round =
      Region::FromRoundRect({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, INT32_MAX, INT32_MIN, view);
  EXPECT_EQ(round.Area(), 128);  // the view lies deep inside the straight middle
  const Point quad[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX},
                        {INT32_MIN, INT32_MAX}};
  EXPECT_EQ(Region::FromPolygon(quad, view).Area(), 128);
  const Point tri[] = {{INT32_MIN, 0}, {INT32_MAX, 0}, {0, INT32_MAX}};
  EXPECT_EQ(Region::FromPolygon(tri, view).Area(), 128);
  // The long side x + y = -1 passes just above and left of the view.
  const Point outside[] = {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MIN, INT32_MAX}};
  EXPECT_TRUE(Region::FromPolygon(outside, view).IsEmpty());
}

TEST(Polygon, AxisAlignedSquareEqualsTheRectangle) {
  const Rect view{0, 0, 30, 30};
  const Point sq[] = {{3, 4}, {20, 4}, {20, 25}, {3, 25}};
  EXPECT_EQ(Region::FromPolygon(sq, view), Region::FromRect({3, 4, 20, 25}, view));
  const Point off[] = {{-10, -10}, {10, -10}, {10, 100}, {-10, 100}};
  EXPECT_EQ(Region::FromPolygon(off, view), Region::FromRect({0, 0, 10, 30}, view));
}

TEST(Polygon, WindingRuleFillsOverlapsAndLeavesCounterWoundHoles) {
  const Rect view{0, 0, 30, 30};
  // Two squares traced the same way: the overlap winds twice, still inside.
  const Point same[] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0},
                        {10, 10}, {30, 10}, {30, 30}, {10, 30}, {10, 10}};
  Region want = Region::FromRect({0, 0, 20, 20}, view);
  want.Union(Region::FromRect({10, 10, 30, 30}, view));
  EXPECT_EQ(Region::FromPolygon(same, view), want);
  // The inner square traced the other way cancels the winding: a hole.
  const Point hole[] = {{0, 0}, {30, 0}, {30, 30}, {0, 30}, {0, 0},
                        {10, 10}, {10, 20}, {20, 20}, {20, 10}, {10, 10}};
  Region ring = Region::FromRect(view, view);
  ring.Xor(Region::FromRect({10, 10, 20, 20}, view));
  EXPECT_EQ(Region::FromPolygon(hole, view), ring);
  // A pentagram's middle winds twice and is filled (even-odd would leave it).
  const Point star[] = {{15, 0}, {24, 29}, {0, 11}, {30, 11}, {6, 29}};
  EXPECT_TRUE(Region::FromPolygon(star, view).Contains(15, 15));
}

TEST(Polygon, TrianglesSharingAnEdgeNeitherOverlapNorLeaveGaps) {
  const Rect view{0, 0, 37, 23};
  const Point upper[] = {{0, 0}, {37, 0}, {0, 23}};
  const Point lower[] = {{37, 0}, {37, 23}, {0, 23}};
  Region a = Region::FromPolygon(upper, view);
  const Region b = Region::FromPolygon(lower, view);
  Region overlap = a;
  overlap.Intersect(b);
  EXPECT_TRUE(overlap.IsEmpty());
  a.Union(b);
  EXPECT_EQ(a, Region::FromRect(view, view));
}

}  // namespace
}  // namespace ls
