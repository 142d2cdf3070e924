// The style name table and the look-up by name.

#include <gtest/gtest.h>

#include "TransitionView/DrawFrame.h"

namespace ls {
namespace {

TEST(StyleNames, TextsAreKeptAsTheyAre) {
  EXPECT_EQ(StyleNameOf(0), "Swap");
  EXPECT_EQ(StyleNameOf(33), "Expand from bottom");
  EXPECT_EQ(StyleNameOf(34), "Expand in from top");
  EXPECT_EQ(StyleNameOf(76), "Unven shred from bottom");
  EXPECT_EQ(StyleNameOf(116), "Starburst clockwise from center");
  EXPECT_EQ(StyleNameOf(114), "Diagonal sweep from top left bottom right anticlockwise");
  EXPECT_EQ(StyleNameOf(127), "Random squares appear");
  EXPECT_EQ(StyleNameOf(128), "");
  EXPECT_EQ(StyleNameOf(-1), "");
  for (int s = 0; s < 128; ++s) EXPECT_FALSE(StyleNameOf(s).empty()) << s;
}

TEST(StyleNames, LookUpIgnoresCaseAndTakesTheFirstMatch) {
  EXPECT_EQ(StyleByName("Expand from bottom"), 18);  // 33 has the same text
  EXPECT_EQ(StyleByName("EXPAND IN FROM TOP"), 25);  // and 34 that of 25
  EXPECT_EQ(StyleByName("fade"), 118);
  EXPECT_EQ(StyleByName("unven shred from bottom"), 76);
  EXPECT_EQ(StyleByName("Uneven shred from bottom"), -1);  // the table's own spelling only
  EXPECT_EQ(StyleByName("Fade "), -1);
  EXPECT_EQ(StyleByName(""), -1);
  // Every name other than the two repeated ones finds its own number.
  for (int s = 0; s < 128; ++s) {
    if (s == 33 || s == 34) continue;
    EXPECT_EQ(StyleByName(StyleNameOf(s)), s) << s;
  }
}

}  // namespace
}  // namespace ls
