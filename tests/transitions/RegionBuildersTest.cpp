// The region builders of the bar, shred, speckle, random-square and
// triangle styles.

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "TransitionView/RegionBuilders.h"
#include "platform/random/Random.h"

namespace ls {
namespace {

Region FromRects(const Rect& bounds, std::initializer_list<Rect> rects) {
  Region r(bounds);
  for (const Rect& rect : rects) r.AddRect(rect);
  return r;
}

// The spans of one row as [x0, x1) pairs.
std::vector<Span> Row(const Region& r, int y) {
  auto s = r.RowSpans(y);
  return {s.begin(), s.end()};
}

TEST(BarsRgn, FirstHalfGrowsEveryOtherBarFromTheRight) {
  const auto r = BarsRgn(512, 0, 1024, 768, 46, 1, 0);
  ASSERT_TRUE(r.has_value());
  Region expected(Rect{0, 0, 1024, 768});
  for (int y = 0; y <= 770; y += 10) expected.AddRect({512, y, 1024, y + 5});
  EXPECT_TRUE(*r == expected);
  EXPECT_EQ(Row(*r, 4), (std::vector<Span>{{512, 1024}}));
  EXPECT_TRUE(Row(*r, 5).empty());
}

TEST(BarsRgn, BarsWithinSnapOfTheFarEdgeAreCompleted) {
  const auto r = BarsRgn(984, 0, 1024, 768, 46, 1, 0);  // 984 + 46 > 1024
  ASSERT_TRUE(r.has_value());
  for (int y = 0; y < 768; y += 10) EXPECT_EQ(Row(*r, y), (std::vector<Span>{{0, 1024}})) << y;
  EXPECT_TRUE(Row(*r, 7).empty());
  // Without the snap the bars stop short of the left edge.
  const auto unsnapped = BarsRgn(984, 0, 1024, 768, 0, 1, 0);
  EXPECT_EQ(Row(*unsnapped, 0), (std::vector<Span>{{40, 1024}}));
}

TEST(BarsRgn, SecondHalfCompletesTheBarsAboveAndGrowsTheOnesBetween) {
  const auto r = BarsRgn(1536, 0, 1024, 768, 46, 1, 0);
  ASSERT_TRUE(r.has_value());
  Region expected(Rect{0, 0, 1024, 768});
  for (int y = 5; y <= 765; y += 10) {
    expected.AddRect({0, y - 5, 1024, y});
    expected.AddRect({512, y, 1024, y + 5});
  }
  EXPECT_TRUE(*r == expected);
  // Kind 2 grows the ones between from the left edge instead.
  const auto left = BarsRgn(1536, 0, 1024, 768, 46, 2, 0);
  EXPECT_EQ(Row(*left, 5), (std::vector<Span>{{0, 512}}));
}

TEST(BarsRgn, KindZeroMakesNoBarsAlongThatAxis) {
  for (int a : {0, 300, 1536}) {
    const auto r = BarsRgn(a, 200, 1024, 768, 46, 0, 1);
    ASSERT_TRUE(r.has_value());
    // Only vertical bars from the bottom: (x, 568, x + 5, 768).
    EXPECT_TRUE(Row(*r, 0).empty()) << a;
    EXPECT_EQ(Row(*r, 600).size(), 103u) << a;
    EXPECT_EQ(Row(*r, 600).front(), (Span{0, 5})) << a;
  }
  EXPECT_FALSE(BarsRgn(300, 200, 1024, 768, 46, 0, 0).has_value());
}

TEST(BarsRgn, KindThreeGrowsEvenAndOddBarsFromOppositeEdges) {
  const auto r = BarsRgn(30, 0, 100, 20, 0, 3, 0);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(Row(*r, 0), (std::vector<Span>{{70, 100}}));
  EXPECT_EQ(Row(*r, 5), (std::vector<Span>{{0, 30}}));
  EXPECT_EQ(Row(*r, 12), (std::vector<Span>{{70, 100}}));
  EXPECT_EQ(Row(*r, 19), (std::vector<Span>{{0, 30}}));
}

TEST(ShredRgn, StripEndsJitterWithinASeventhOfTheWidth) {
  SharedRandom().SetBaseSeed(3);
  // H a multiple of 5, so strips do not overlap and each row is one strip.
  const auto r = ShredRgn(10, 0, 1024, 500, 1, 0);
  ASSERT_TRUE(r.has_value());
  std::set<int> ends;
  int deepest = 1024;
  for (int y = 0; y < 500; y += 5) {
    const auto spans = Row(*r, y);
    const int left = spans.empty() ? 1024 : spans.front().x0;  // ends past the edge show nothing
    if (!spans.empty()) {
      ASSERT_EQ(spans.size(), 1u);
      EXPECT_EQ(spans.front().x1, 1024);
    }
    EXPECT_GE(left, 869) << y;
    EXPECT_LE(left, 1159) << y;
    for (int k = 1; k < 5; ++k) EXPECT_EQ(Row(*r, y + k), spans) << y + k;
    ends.insert(left);
    deepest = std::min(deepest, left);
  }
  EXPECT_GT(ends.size(), 20u);  // random ends, not one edge
  EXPECT_LT(deepest, 1014 - 60);  // some strips run well ahead of the exact edge
}

TEST(ShredRgn, AtFullExtentStripsMeetExactlyAndCoverTheView) {
  for (int kind = 1; kind <= 4; ++kind) {
    const auto h = ShredRgn(1024, 0, 1024, 768, kind, 0);
    ASSERT_TRUE(h.has_value());
    EXPECT_EQ(h->Area(), int64_t{1024} * 768) << kind;
    const auto v = ShredRgn(0, 768, 1024, 768, 0, kind);
    ASSERT_TRUE(v.has_value());
    EXPECT_EQ(v->Area(), int64_t{1024} * 768) << kind;
  }
  EXPECT_FALSE(ShredRgn(500, 300, 1024, 768, 0, 0).has_value());
}

// The vertical strips built one by one, literally.
std::optional<Region> ShredColumnsReference(int B, int W, int H, int kind) {
  const int c = B < H ? H / 7 : 0;
  std::optional<Region> r;
  auto add = [&](int l, int t, int rt, int b) {
    if (!r) r = Region(Rect{0, 0, W, H});
    r->AddRect({l, t, rt, b});
  };
  for (int x = 0; x < W; x += 5) {
    const int right = x + 5 + W % 5;
    const int r1 = SharedRandom().Next(c), r2 = SharedRandom().Next(c);
    const int r3 = SharedRandom().Next(c), r4 = SharedRandom().Next(c);
    if (kind == 1) {
      add(x, H - B + r1 - r2, right, H);
    } else if (kind == 2) {
      add(x, 0, right, B + r1 - r2);
    } else if (kind == 3) {
      add(x, (H - B + r1 - r2) / 2, right, H / 2);
      add(x, H / 2, right, (H + B + r3 - r4) / 2);
    } else {
      add(x, H - (B + r1 - r2) / 2, right, H);
      add(x, 0, right, (B + r3 - r4) / 2);
    }
  }
  return r;
}

TEST(ShredRgn, ColumnsMatchTheirOneByOneConstruction) {
  for (int kind = 1; kind <= 4; ++kind)
    for (auto [B, W, H] : {std::tuple{0, 300, 200}, {1, 301, 201}, {77, 303, 200}, {150, 97, 203},
                           {199, 50, 200}, {203, 52, 203}, {400, 40, 203}, {3, 12, 5}}) {
      SharedRandom().SetBaseSeed(static_cast<uint64_t>(B * 7 + W + kind));
      const auto expected = ShredColumnsReference(B, W, H, kind);
      SharedRandom().SetBaseSeed(static_cast<uint64_t>(B * 7 + W + kind));
      const auto built = ShredRgn(0, B, W, H, 0, kind);
      ASSERT_EQ(built.has_value(), expected.has_value());
      EXPECT_TRUE(*built == *expected) << kind << " " << B << " " << W << "x" << H;
    }
}

TEST(ShredRgn, LastStripReachesTheBottomEdge) {
  // H mod 5 = 3: every strip is 8 rows deep, and the last reaches row 767.
  const auto r = ShredRgn(1024, 0, 1024, 768, 2, 0);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(Row(*r, 767), (std::vector<Span>{{0, 1024}}));
}

TEST(SpeckleRgn, RowsHoldTheSolidPartAndSquaresAhead) {
  SharedRandom().SetBaseSeed(5);
  const auto r = SpeckleRgn(300, 0, 1024, 768, 2, 0);
  ASSERT_TRUE(r.has_value());
  // e = 102, f = 5, n = 20, t = 15: rows of 5 pixels every 2 pixels, each with
  // (0, y, 300, y + 5) and always the squares up to 310; nothing beyond 400.
  for (int y = 0; y < 768; ++y) {
    const auto spans = Row(*r, y);
    ASSERT_FALSE(spans.empty()) << y;
    EXPECT_EQ(spans.front().x0, 0) << y;
    EXPECT_GE(spans.front().x1, 310) << y;
    EXPECT_LE(spans.back().x1, 400) << y;
    for (const Span& s : spans) {
      EXPECT_EQ((s.x0 - 300) % 5 == 0 || s.x0 == 0, true) << y;
      EXPECT_EQ((s.x1 - 300) % 5, 0) << y;
    }
  }
  // Squares are random: the rows differ from each other.
  std::set<int> reaches;
  for (int y = 0; y < 768; ++y) reaches.insert(Row(*r, y).back().x1);
  EXPECT_GT(reaches.size(), 3u);
}

// The columns built one by one, literally: solid part, then squares.
std::optional<Region> SpeckleColumnsReference(int B, int W, int H, int kind) {
  const int e = B < H ? H / 10 : 0;
  const int f = std::max(e / 20, 2), n = e / f, t = ((3 * e) / f) / 4;
  std::optional<Region> r;
  auto add = [&](const Rect& rect) {
    if (!r) r = Region(Rect{0, 0, W, H});
    r->AddRect(rect);
  };
  for (int x = 0; x < W; x += f / 2) {
    add(kind == 1 ? Rect{x, H - B, x + f, H} : Rect{x, 0, x + f, B});
    for (int i = n; i >= 1; --i) {
      if (SharedRandom().Next(i) > (i <= t ? 1 : 0)) continue;
      add(kind == 1 ? Rect{x, H - B - i * f, x + f, H - B - i * f + f}
                    : Rect{x, B + i * f - f, x + f, B + i * f});
    }
  }
  return r;
}

TEST(SpeckleRgn, ColumnsMatchTheirOneByOneConstruction) {
  for (int kind : {1, 2})
    for (auto [B, W, H] : {std::tuple{0, 300, 200}, {77, 301, 200}, {150, 97, 203}, {203, 50, 203}}) {
      SharedRandom().SetBaseSeed(static_cast<uint64_t>(B + W + kind));
      const auto expected = SpeckleColumnsReference(B, W, H, kind);
      SharedRandom().SetBaseSeed(static_cast<uint64_t>(B + W + kind));
      const auto built = SpeckleRgn(0, B, W, H, 0, kind);
      ASSERT_EQ(built.has_value(), expected.has_value());
      EXPECT_TRUE(*built == *expected) << kind << " " << B << " " << W << "x" << H;
    }
}

TEST(SpeckleRgn, AtFullExtentOnlyTheSolidPartRemains) {
  const auto r = SpeckleRgn(0, 768, 1024, 768, 0, 1);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->Area(), int64_t{1024} * 768);
  const auto top = SpeckleRgn(0, 0, 1024, 768, 0, 2);  // nothing grown yet from the top
  ASSERT_TRUE(top.has_value());
  // Only the nearest squares (always added) ahead of the edge at row 0.
  EXPECT_EQ(Row(*top, 0), (std::vector<Span>{{0, 1024}}));
  EXPECT_EQ(top->Extent().top, 0);
}

TEST(RandomSquaresRgn, GridOfSquaresChosenByProgress) {
  // p = 100 chooses every grid point: d = 768 div 50 + 10 = 25.
  const auto all = RandomSquaresRgn(1024, 768, 100);
  ASSERT_TRUE(all.has_value());
  EXPECT_EQ(all->Area(), int64_t{1024} * 768);
  EXPECT_FALSE(RandomSquaresRgn(1024, 768, 0).has_value());

  // p = 50: d = 20, 52 x 39 grid points, about half carry a 40 x 40 square.
  SharedRandom().SetBaseSeed(11);
  const auto half = RandomSquaresRgn(1024, 768, 50);
  ASSERT_TRUE(half.has_value());
  EXPECT_LT(half->Area(), int64_t{1024} * 768);
  EXPECT_GT(half->Area(), int64_t{1024} * 768 / 2);
  // Every covered pixel lies in a square of the 20-pixel grid: edges on
  // multiples of 20.
  for (int y = 0; y < 768; y += 13)
    for (const Span& s : half->RowSpans(y)) {
      EXPECT_EQ(s.x0 % 20, 0);
      EXPECT_TRUE(s.x1 % 20 == 0 || s.x1 == 1024);
    }
}

TEST(TriangleRgn, FillsTheTriangleAndNothingForCollinearCorners) {
  EXPECT_TRUE(TriangleRgn(0, 0, 10, 10, 20, 20, 100, 100).IsEmpty());
  const Region t = TriangleRgn(0, 0, 100, 0, 0, 100, 100, 100);
  EXPECT_TRUE(t.Contains(1, 1));
  EXPECT_TRUE(t.Contains(90, 3));
  EXPECT_FALSE(t.Contains(90, 90));
  EXPECT_NEAR(static_cast<double>(t.Area()), 5000.0, 150.0);
}

TEST(ScratchRegions, AReusedRegionStartsEmpty) {
  const Rect bounds{0, 0, 50, 40};
  Region used = FromRects(bounds, {{0, 0, 50, 40}});
  ReturnScratchRegion(std::move(used));
  const Region fresh = TakeScratchRegion(bounds);
  EXPECT_TRUE(fresh.IsEmpty());
  EXPECT_EQ(fresh.Bounds(), bounds);
  // Bounds of another size get a region of their own.
  ReturnScratchRegion(FromRects(bounds, {{0, 0, 5, 5}}));
  EXPECT_EQ(TakeScratchRegion({0, 0, 10, 10}).Bounds(), (Rect{0, 0, 10, 10}));
  ReleaseScratchRegions();
  EXPECT_TRUE(TakeScratchRegion(bounds).IsEmpty());
}

}  // namespace
}  // namespace ls
