// The show's decisions that depend on their inputs only.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "show/ShowRules.h"

namespace ls {
namespace {

std::array<bool, kStyleCount> AllStyles(bool on) {
  std::array<bool, kStyleCount> a{};
  for (int i = 1; i < kStyleCount; ++i) a[i] = on;
  return a;
}

TEST(ShowRules, PackageOrderWrapsAfterTheLast) {
  int current = -1;
  std::vector<int> seen;
  for (int i = 0; i < 7; ++i) seen.push_back(current = NextPictureInOrder(current, 3));
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
}

TEST(ShowRules, RandomOrderNeverRepeatsWithTwoOrMore) {
  Random random(42);
  for (int count : {2, 3, 5}) {
    int current = -1;
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
      const int next = NextPictureRandom(current, count, random);
      ASSERT_NE(next, current);
      ASSERT_GE(next, 0);
      ASSERT_LT(next, count);
      seen.insert(next);
      current = next;
    }
    EXPECT_EQ(static_cast<int>(seen.size()), count);
  }
  EXPECT_EQ(NextPictureRandom(0, 1, random), 0);  // one picture comes every time
}

struct StyleCase {
  int mode;
  bool anyEnabled;
  bool userShowTransition;
  int expected;  // -1: some enabled style from 1 to 127
};

class StyleChoice : public ::testing::TestWithParam<StyleCase> {};

TEST_P(StyleChoice, FollowsModeEnabledStylesAndPreference) {
  const StyleCase c = GetParam();
  Random random(7);
  for (int i = 0; i < 50; ++i) {
    const int style =
        ChooseTransitionStyle(c.mode, AllStyles(c.anyEnabled), c.userShowTransition, random);
    if (c.expected >= 0) {
      EXPECT_EQ(style, c.expected);
    } else {
      EXPECT_GE(style, 1);
      EXPECT_LE(style, 127);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, StyleChoice,
    ::testing::Values(StyleCase{-2, true, true, 0}, StyleCase{5, true, true, 5},
                      StyleCase{127, true, true, 127}, StyleCase{0, true, true, 0},
                      StyleCase{-1, true, true, -1},
                      // Random with nothing enabled would draw for ever: style 0.
                      StyleCase{-1, false, true, 0},
                      // Out of the view's range: taken as random.
                      StyleCase{128, true, true, -1}, StyleCase{-3, true, true, -1},
                      StyleCase{1000, false, true, 0},
                      // The user's switch wins over everything.
                      StyleCase{5, true, false, 0}, StyleCase{-1, true, false, 0}),
    [](const ::testing::TestParamInfo<StyleCase>& info) {
      const StyleCase& c = info.param;
      return "Mode" + std::string(c.mode < 0 ? "Minus" : "") + std::to_string(c.mode < 0 ? -c.mode : c.mode) +
             (c.anyEnabled ? "" : "NoneEnabled") + (c.userShowTransition ? "" : "UserOff");
    });

TEST(ShowRules, RandomStyleDrawsOnlyEnabledOnes) {
  std::array<bool, kStyleCount> enabled{};
  enabled[17] = enabled[90] = true;
  Random random(3);
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) seen.insert(ChooseTransitionStyle(-1, enabled, true, random));
  EXPECT_EQ(seen, (std::set<int>{17, 90}));
}

TEST(ShowRules, MovementEndsOnlyRightOrDownBeyondTenPixels) {
  const Point ref{500, 400};
  EXPECT_FALSE(MovementEndsShow(ref, {510, 400}));
  EXPECT_TRUE(MovementEndsShow(ref, {511, 400}));
  EXPECT_FALSE(MovementEndsShow(ref, {500, 410}));
  EXPECT_TRUE(MovementEndsShow(ref, {500, 411}));
  EXPECT_FALSE(MovementEndsShow(ref, {200, 100}));  // far left and up
  EXPECT_TRUE(MovementEndsShow(ref, {0, 411}));
}

TEST(ShowRules, FitFromPictureSize) {
  EXPECT_FALSE(FitForPictureSize(1).stretch);
  EXPECT_FALSE(FitForPictureSize(1).stretchFine);
  EXPECT_TRUE(FitForPictureSize(2).stretch);
  EXPECT_FALSE(FitForPictureSize(2).stretchFine);
  for (int size : {0, 3, 7, -1}) {
    EXPECT_TRUE(FitForPictureSize(size).stretch);
    EXPECT_TRUE(FitForPictureSize(size).stretchFine);
  }
}

}  // namespace
}  // namespace ls
