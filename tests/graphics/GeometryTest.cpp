#include <gtest/gtest.h>

#include "platform/graphics/Geometry.h"

namespace ls {
namespace {

TEST(Rect, RightAndBottomAreExclusive) {
  const Rect r{2, 3, 5, 7};
  EXPECT_EQ(r.Width(), 3);
  EXPECT_EQ(r.Height(), 4);
  EXPECT_TRUE(r.Contains(2, 3));
  EXPECT_TRUE(r.Contains(4, 6));
  EXPECT_FALSE(r.Contains(5, 6));
  EXPECT_FALSE(r.Contains(4, 7));
  EXPECT_FALSE(r.Contains(1, 3));
  EXPECT_TRUE((Rect{5, 0, 5, 9}).IsEmpty());
  EXPECT_TRUE((Rect{6, 0, 5, 9}).IsEmpty());
  EXPECT_FALSE((Rect{4, 0, 5, 1}).IsEmpty());
}

TEST(Rect, IntersectOfTouchingRectanglesIsEmpty) {
  EXPECT_EQ((Rect{0, 0, 10, 10}).Intersect({5, 5, 20, 20}), (Rect{5, 5, 10, 10}));
  EXPECT_TRUE((Rect{0, 0, 10, 10}).Intersect({10, 0, 20, 10}).IsEmpty());
  EXPECT_EQ((Rect{-5, -5, 3, 3}).Offset(5, 5), (Rect{0, 0, 8, 8}));
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  struct Case {
    int a, b, c, want;
  };
  const Case cases[] = {
      {5, 1, 2, 3},    {-5, 1, 2, -3},  {5, -1, 2, -3}, {5, 1, -2, -3}, {7, 3, 4, 5},
      {4, 1, 3, 1},    {5, 1, 3, 2},    {-4, 1, 3, -1}, {204, 768, 1024, 153},
      {1 << 30, 4, 8, 1 << 29},  // needs the 64-bit intermediate
      {1, 1, 0, -1},               // division by zero
      {1 << 30, 1 << 30, 1, -1},   // result does not fit
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.want) << c.a << " * " << c.b << " / " << c.c;
}

}  // namespace
}  // namespace ls
