// The frame drawing: extents, the order of events and invalidations, and the
// worked examples of the rectangle styles.

#include <gtest/gtest.h>

#include "TransitionView/DrawFrame.h"
#include "tests/transitions/FrameTestSupport.h"

namespace ls {
namespace {

using test::Composed;
using test::NewPicture;
using test::OldPicture;
using test::RunFrame;

struct ExtentCase {
  int w, h, p, step;
  int x, y, q;
};

class Extents : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(Extents, LongerSideAdvancesByPercentShorterFollows) {
  const ExtentCase c = GetParam();
  const FrameExtents e = ComputeExtents(c.w, c.h, c.p, c.step);
  EXPECT_EQ(e.X, c.x);
  EXPECT_EQ(e.Y, c.y);
  EXPECT_EQ(e.Q, c.q);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, Extents,
    ::testing::Values(ExtentCase{1024, 768, 1, 4, 10, 8, 46},     // 7.5 rounds up
                      ExtentCase{1024, 768, 50, 2, 512, 384, 23},  // step 2 snaps at 23
                      ExtentCase{1024, 768, 50, 4, 512, 384, 46},
                      ExtentCase{600, 800, 50, 4, 300, 400, 36},  // taller than wide
                      ExtentCase{800, 800, 37, 4, 296, 296, 36},  // square
                      ExtentCase{1024, 768, 100, 4, 1024, 768, 46},
                      ExtentCase{1024, 768, 0, 4, 0, 0, 46}));

TEST(DrawFrame, RevealFromLeftAtHalfwayShowsLeftHalfAndInvalidatesOnlyIt) {
  const Bitmap oldImage = OldPicture(1024, 768), newImage = NewPicture(1024, 768);
  auto run = RunFrame(oldImage, newImage, 5, 50);
  EXPECT_EQ(run.frame, Composed(oldImage, newImage, {{{0, 0, 512, 768}, {0, 0, 512, 768}}}));
  EXPECT_EQ(run.frame.At(511, 400), newImage.At(511, 400));
  EXPECT_EQ(run.frame.At(512, 400), oldImage.At(512, 400));
  EXPECT_EQ(run.host.events,
            (std::vector<std::string>{"before", "invalidate", "after", "update"}));
  ASSERT_EQ(run.host.invalidated.size(), 1u);
  EXPECT_EQ(run.host.invalidated[0], (Rect{0, 0, 512, 768}));
}

TEST(DrawFrame, SlideInFromRightMovesNewImageUnscaled) {
  const Bitmap oldImage = OldPicture(1024, 768), newImage = NewPicture(1024, 768);
  auto run = RunFrame(oldImage, newImage, 3, 25);
  Bitmap expected = oldImage;
  for (int y = 0; y < 768; ++y)
    for (int x = 768; x < 1024; ++x) expected.Set(x, y, newImage.At(x - 768, y));
  EXPECT_EQ(run.frame, expected);
  EXPECT_EQ(run.host.invalidated.back(), (Rect{768, 0, 1792, 768}));
}

TEST(DrawFrame, RevealInFromSidesAtZeroStillDrawsItsFirstPiece) {
  const Bitmap oldImage = OldPicture(40, 30), newImage = NewPicture(40, 30);
  auto run = RunFrame(oldImage, newImage, 12, 0);
  // The first piece (0, 0, 1, H) is drawn whatever the progress; the last
  // piece follows the progress rule and draws nothing at 0.
  EXPECT_EQ(run.frame, Composed(oldImage, newImage, {{{0, 0, 1, 30}, {0, 0, 1, 30}}}));
  EXPECT_EQ(run.host.events, (std::vector<std::string>{"before", "invalidate", "invalidate",
                                                        "after", "update"}));
  EXPECT_EQ(run.host.invalidated[0], (Rect{0, 0, 1, 30}));
  EXPECT_EQ(run.host.invalidated[1], (Rect{39, 0, 40, 30}));
}

TEST(DrawFrame, BuildUpNearTheEndCutsTheStripToTheNewImage) {
  const Bitmap oldImage = OldPicture(1024, 768), newImage = NewPicture(1024, 768);
  // p = 99: X = 1014 and the strip (1014, 0, 1065, 768) reaches past the
  // image; cut to it, the rest of the frame shows the new image in place.
  auto run = RunFrame(oldImage, newImage, 16, 99);
  EXPECT_EQ(run.frame, newImage);
  ASSERT_EQ(run.host.invalidated.size(), 2u);
  EXPECT_EQ(run.host.invalidated[0], (Rect{0, 0, 1014, 768}));
  EXPECT_EQ(run.host.invalidated[1], (Rect{1014, 0, 1024, 768}));
  // Halfway the strip of a twentieth of the width is stretched over the rest.
  auto half = RunFrame(oldImage, newImage, 16, 50);
  EXPECT_EQ(half.frame, Composed(oldImage, newImage,
                                 {{{0, 0, 512, 768}, {0, 0, 512, 768}},
                                  {{512, 0, 1024, 768}, {512, 0, 563, 768}}}));
}

TEST(DrawFrame, UnrollShowsTheMirroredStripNextToTheUnrolledPart) {
  const Bitmap oldImage = OldPicture(1024, 768), newImage = NewPicture(1024, 768);
  auto run = RunFrame(oldImage, newImage, 14, 50);  // X = 512, roll 102 wide
  Bitmap expected = oldImage;
  for (int y = 0; y < 768; ++y) {
    for (int x = 0; x < 512; ++x) expected.Set(x, y, newImage.At(x, y));
    // (614, 0, 716, 768) mirrored into (512, 0, 614, 768).
    for (int x = 512; x < 614; ++x) expected.Set(x, y, newImage.At(715 - (x - 512), y));
  }
  EXPECT_EQ(run.frame, expected);
  ASSERT_EQ(run.host.invalidated.size(), 2u);
  EXPECT_EQ(run.host.invalidated[0], (Rect{512, 0, 614, 768}));
  EXPECT_EQ(run.host.invalidated[1], (Rect{0, 0, 512, 768}));

  auto late = RunFrame(oldImage, newImage, 14, 90);  // X = 922: the roll narrows to 51
  EXPECT_EQ(late.host.invalidated[0], (Rect{922, 0, 973, 768}));
}

TEST(DrawFrame, UnrollFromBottomMirrorsTopToBottom) {
  const Bitmap oldImage = OldPicture(40, 60), newImage = NewPicture(40, 60);
  // 40 x 60: Y = 30 at p = 50, roll r = H div 10 = 6 above the unrolled part.
  auto run = RunFrame(oldImage, newImage, 32, 50);
  Bitmap expected = oldImage;
  for (int x = 0; x < 40; ++x) {
    for (int y = 30; y < 60; ++y) expected.Set(x, y, newImage.At(x, y));
    // (0, 18, 40, 24) mirrored into (0, 24, 40, 30).
    for (int y = 24; y < 30; ++y) expected.Set(x, y, newImage.At(x, 18 + (29 - y)));
  }
  EXPECT_EQ(run.frame, expected);
}

TEST(DrawFrame, QuartersSlideInFromTheirSides) {
  const Bitmap oldImage = OldPicture(1024, 768), newImage = NewPicture(1024, 768);
  auto run = RunFrame(oldImage, newImage, 57, 50);
  const Rect pieces[4][2] = {{{-256, 0, 257, 385}, {0, 0, 513, 385}},
                             {{511, -192, 1024, 193}, {511, 0, 1024, 385}},
                             {{768, 383, 1280, 768}, {513, 383, 1024, 768}},
                             {{0, 576, 513, 960}, {0, 385, 513, 768}}};
  EXPECT_EQ(run.frame, Composed(oldImage, newImage,
                                {{pieces[0][0], pieces[0][1]},
                                 {pieces[1][0], pieces[1][1]},
                                 {pieces[2][0], pieces[2][1]},
                                 {pieces[3][0], pieces[3][1]}}));
  // The first piece is an unscaled copy moved 256 pixels to the left.
  EXPECT_EQ(run.frame.At(0, 0), newImage.At(256, 0));
  EXPECT_EQ(run.frame.At(256, 384), newImage.At(512, 384));
  ASSERT_EQ(run.host.invalidated.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(run.host.invalidated[i], pieces[i][0]) << i;
}

TEST(DrawFrame, SwapWithoutHandlerChangesThePictureInOneFrame) {
  const Bitmap oldImage = OldPicture(20, 10), newImage = NewPicture(20, 10);
  auto run = RunFrame(oldImage, newImage, 0, 2);
  EXPECT_EQ(run.frame, newImage);
  EXPECT_EQ(run.progressAfter, 100);
  ASSERT_EQ(run.host.invalidated.size(), 1u);
  EXPECT_EQ(run.host.invalidated[0], (Rect{0, 0, 20, 10}));
}

TEST(DrawFrame, SwapWithHandlerLeavesTheFrameToIt) {
  const Bitmap oldImage = OldPicture(20, 10), newImage = NewPicture(20, 10);
  auto run = RunFrame(oldImage, newImage, 0, 40, 4, /*customDraw=*/true);
  Bitmap expected = oldImage;  // the handler drew over the old image
  FillRect(expected, {0, 0, 2, 2}, run.host.customColour);
  EXPECT_EQ(run.frame, expected);
  EXPECT_EQ(run.progressAfter, 40);
  EXPECT_EQ(run.host.events, (std::vector<std::string>{"before", "custom", "invalidate", "after",
                                                        "update"}));
  // At the end the new image is drawn whole over whatever the handler drew.
  EXPECT_EQ(RunFrame(oldImage, newImage, 0, 100, 4, true).frame, newImage);
}

TEST(DrawFrame, StyleBeyondTheTableLeavesTheOldImageAndReportsNothing) {
  const Bitmap oldImage = OldPicture(20, 10), newImage = NewPicture(20, 10);
  for (int style : {128, 200, 255}) {
    auto run = RunFrame(oldImage, newImage, style, 50);
    EXPECT_EQ(run.frame, oldImage) << style;
    EXPECT_EQ(run.host.events, std::vector<std::string>{"before"}) << style;
  }
}

TEST(DrawFrame, RegionAndPixelStylesInvalidateTheWholeView) {
  const Bitmap oldImage = OldPicture(30, 20), newImage = NewPicture(30, 20);
  for (int style : {58, 64, 99, 110, 117, 118, 120, 127}) {
    auto run = RunFrame(oldImage, newImage, style, 50);
    EXPECT_EQ(run.host.events,
              (std::vector<std::string>{"before", "invalidate", "after", "update"}))
        << style;
    EXPECT_EQ(run.host.invalidated.back(), (Rect{0, 0, 30, 20})) << style;
  }
}

TEST(DrawFrame, EmptyViewDrawsNothingForAnyStyle) {
  const Bitmap empty;
  for (int style = 0; style < 256; ++style) {
    auto run = RunFrame(empty, empty, style, 50);
    EXPECT_TRUE(run.frame.IsEmpty());
  }
}

}  // namespace
}  // namespace ls
