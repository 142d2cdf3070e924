// The new image: colour, background, picture placement and caption.
#include <cstdlib>

#include "ViewFixture.h"
#include "platform/graphics/Text.h"

namespace ls::test {
namespace {

TEST(ViewFitRect, KeepsTheAspectRatioCentredAndEnlargesSmallPictures) {
  struct Case {
    int pw, ph;
    Rect bounds, expected;
  };
  const Case cases[] = {
      {800, 600, {0, 0, 1024, 768}, {0, 0, 1024, 768}},
      {600, 800, {0, 0, 1024, 768}, {224, 0, 800, 768}},
      {100, 50, {0, 0, 1024, 768}, {0, 128, 1024, 640}},
      {3, 1, {10, 20, 110, 120}, {10, 53, 110, 86}},  // 33.33 rounds to 33, moved by the bounds
      {1, 3, {0, 0, 100, 100}, {33, 0, 66, 100}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TTransitionView::FitRect(c.pw, c.ph, c.bounds), c.expected)
        << c.pw << "x" << c.ph;
}

class ViewComposeTest : public ViewTest {};

TEST_F(ViewComposeTest, ANewViewPaintsItsColour) {
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, PixelFromColorRef(view.Color())));
  view.SetColor(0x0000FF);  // red as 0x00BBGGRR
  loop.ProcessMessages();
  EXPECT_TRUE(AllPixels(window.Screen(), {0, 0, W, H}, kRed));
}

TEST_F(ViewComposeTest, PicturePlacement) {
  struct Case {
    const char* name;
    int pw, ph;
    bool center, stretch, fine;
    Rect expectedPictureRect;
    Rect picturePixels;  // where the picture's colour lands
  };
  // The view is 40 x 30.
  const Case cases[] = {
      {"centred", 10, 10, true, false, false, {15, 10, 25, 20}, {15, 10, 25, 20}},
      {"top-left", 10, 10, false, false, false, {0, 0, 10, 10}, {0, 0, 10, 10}},
      {"larger, centred: negative offset", 60, 50, true, false, false, {-10, -10, 50, 40},
       {0, 0, 40, 30}},
      {"stretched", 10, 10, true, true, false, {15, 10, 25, 20}, {0, 0, 40, 30}},
      {"fitted, centred whatever Center says", 10, 10, false, true, true, {0, 0, 10, 10},
       {5, 0, 35, 30}},
  };
  for (const Case& c : cases) {
    view.SetColor(0);
    view.SetCenter(c.center);
    view.SetStretch(c.stretch);
    view.SetStretchFine(c.fine);
    view.SetPicture(Solid(c.pw, c.ph, kGreen));
    const Bitmap image = view.ComposeNewImage();
    EXPECT_EQ(view.PictureRect(), c.expectedPictureRect) << c.name;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        ASSERT_EQ(image.At(x, y), c.picturePixels.Contains(x, y) ? kGreen : 0u)
            << c.name << " at " << x << "," << y;
  }
}

TEST_F(ViewComposeTest, LargePictureFromTheCornerIsCutAtRightAndBottom) {
  Bitmap big(60, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 60; ++x) big.Set(x, y, static_cast<Pixel>(y * 100 + x));
  view.SetCenter(false);
  view.SetPicture(big);
  const Bitmap image = view.ComposeNewImage();
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) ASSERT_EQ(image.At(x, y), static_cast<Pixel>(y * 100 + x));
}

TEST_F(ViewComposeTest, TiledAndStretchedBackgroundsUnderThePicture) {
  Bitmap tile(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) tile.Set(x, y, static_cast<Pixel>(1 + y * 16 + x));
  view.SetBgPicture(tile);
  view.SetPicture(Solid(2, 2, kGreen));  // centred at (19, 14)
  view.SetBgMode(TBackgroundMode::bmTiled);
  Bitmap image = view.ComposeNewImage();
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool picture = x >= 19 && x < 21 && y >= 14 && y < 16;
      ASSERT_EQ(image.At(x, y), picture ? kGreen : static_cast<Pixel>(1 + (y % 16) * 16 + x % 16))
          << x << "," << y;
    }

  view.SetBgMode(TBackgroundMode::bmStretched);
  view.SetBgPicture(Solid(4, 3, kBlue));
  image = view.ComposeNewImage();
  EXPECT_EQ(image.At(0, 0), kBlue);
  EXPECT_EQ(image.At(W - 1, H - 1), kBlue);

  for (TBackgroundMode m : {TBackgroundMode::bmNone, TBackgroundMode::bmCentered}) {
    view.SetBgMode(m);
    view.SetColor(0x00FFFF);  // yellow as 0x00BBGGRR
    image = view.ComposeNewImage();
    EXPECT_EQ(image.At(0, 0), 0xFFFF00u);
    EXPECT_EQ(image.At(W - 1, H - 1), 0xFFFF00u);
  }
}

TEST(ViewTileDraw, CoversTheAreaRowByRowAndSkipsEmptyGraphics) {
  Bitmap dst(10, 7);
  const Bitmap g = Solid(4, 3, kRed);
  TTransitionView::TileDraw(dst, {2, 1, 10, 7}, &g);
  EXPECT_EQ(dst.At(1, 1), 0u);
  EXPECT_EQ(dst.At(2, 1), kRed);
  EXPECT_EQ(dst.At(9, 6), kRed);
  Bitmap untouched(5, 5);
  const Bitmap empty;
  TTransitionView::TileDraw(untouched, {0, 0, 5, 5}, &empty);
  TTransitionView::TileDraw(untouched, {0, 0, 5, 5}, nullptr);
  EXPECT_TRUE(AllPixels(untouched, {0, 0, 5, 5}, 0));
}

// The caption on a larger view, so that text fits.
class ViewCaptionTest : public ::testing::Test {
 protected:
  static constexpr int W = 320, H = 200;
  HeadlessLoop loop;
  HeadlessWindow window{loop, W, H};
  TTransitionView view{window};
  FontSpec font{"DejaVu Sans", 12, false, false, false, false, 0xFFFFFF};

  void SetUp() override {
    view.SetColor(0);
    view.SetPicture(Bitmap(1, 1));  // a black dot
    view.SetCaptionFont(font);
    view.SetImageCaption("Lake");
    view.SetShowCaption(true);
  }

  // The bounding box of the pixels that are not black.
  static Rect Ink(const Bitmap& b, Pixel only = 0) {
    Rect r{b.Width(), b.Height(), 0, 0};
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) {
        const Pixel p = b.At(x, y);
        if (p == 0 || (only && p != only)) continue;
        r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1),
             std::max(r.bottom, y + 1)};
      }
    return r;
  }
};

TEST_F(ViewCaptionTest, PlacementsFollowThePosition) {
  // Where the caption's cell goes; the ink lies inside the cell, so compare
  // with the ink of the same caption drawn at (0, 0).
  Bitmap probe(W, H);
  DrawText(probe, 0, 0, font, "Lake");
  const Rect ink0 = Ink(probe);
  ASSERT_FALSE(ink0.IsEmpty());
  const int tw = TextWidth(font, "Lake");
  const int bottom = H - 12 - 16;
  struct Case {
    int position;
    Point at;
  };
  const Case cases[] = {
      {0, {8, 8}},          {1, {(W - tw) / 2, 8}}, {2, {W - tw - 8, 8}},
      {3, {8, bottom}},     {4, {(W - tw) / 2, bottom}}, {5, {W - tw - 8, bottom}},
      {6, {37, 101}},       {7, {10, bottom}},      {-1, {10, 8}},
      {-5, {10, bottom}},   {100, {10, bottom}},  // -5 div 3 is -1: not the top row
  };
  view.SetCaptionX(37);
  view.SetCaptionY(101);
  for (const Case& c : cases) {
    view.SetCaptionPosition(c.position);
    const Rect ink = Ink(view.ComposeNewImage());
    EXPECT_EQ(ink, ink0.Offset(c.at.x, c.at.y)) << "position " << c.position;
  }
}

TEST_F(ViewCaptionTest, ShadowIsBlackOnePixelRightAndDownUnderTheText) {
  view.SetColor(0x808080);
  view.SetCaptionPosition(0);
  const Bitmap plain = view.ComposeNewImage();
  view.SetShowCaptionShadow(true);
  const Bitmap shadowed = view.ComposeNewImage();
  // Text edges are smoothed, so a channel within 8 of the value counts.
  auto near = [](Pixel p, int v) {
    for (int shift : {0, 8, 16})
      if (std::abs(static_cast<int>((p >> shift) & 0xFF) - v) > 8) return false;
    return true;
  };
  // A pixel of solid text has, one pixel right and down, black in the
  // shadowed image wherever the text itself leaves the grey background.
  int shadowPixels = 0;
  for (int y = 0; y + 1 < H; ++y)
    for (int x = 0; x + 1 < W; ++x) {
      if (plain.At(x, y) != kWhite) continue;
      if (plain.At(x + 1, y + 1) != 0x808080u) continue;  // text covers it too
      EXPECT_TRUE(near(shadowed.At(x + 1, y + 1), 0)) << x + 1 << "," << y + 1;
      ++shadowPixels;
    }
  EXPECT_GT(shadowPixels, 5);
  // The text itself is still white on top, and the shadow is nowhere else.
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      if (plain.At(x, y) == kWhite) {
        ASSERT_TRUE(near(shadowed.At(x, y), 255)) << x << "," << y;
      }
      if (x > 0 && y > 0 && plain.At(x - 1, y - 1) == 0x808080u && plain.At(x, y) == 0x808080u) {
        ASSERT_EQ(shadowed.At(x, y), 0x808080u) << x << "," << y;
      }
    }
}

TEST_F(ViewCaptionTest, ClearOldImageLeavesOutPictureAndCaption) {
  view.SetColor(0x0000FF);
  view.SetPicture(Solid(50, 50, kGreen));
  view.SetClearOldImage(true);
  const Bitmap image = view.ComposeNewImage();
  EXPECT_TRUE(AllPixels(image, {0, 0, W, H}, kRed));
}

TEST_F(ViewComposeTest, LayoutChangesAfterATransitionLeaveTheScreenAsItIs) {
  view.SetPicture(Solid(10, 10, kGreen));
  view.SetStep(100);
  view.SetStyle(kRevealFromLeft);
  view.Execute();
  const Bitmap before = window.Screen();
  view.SetStretch(true);
  view.SetCenter(false);
  view.SetCaptionPosition(4);
  view.SetBgMode(TBackgroundMode::bmStretched);
  EXPECT_TRUE(window.NeedsPaint());  // a repaint is requested ...
  loop.ProcessMessages();
  EXPECT_EQ(window.Screen(), before);  // ... and shows the same frame
}

}  // namespace
}  // namespace ls::test
