// Slides, splash and scene timing, seen through the trace of `simulate`.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "platform/graphics/Png.h"
#include "tests/show/ShowTestSupport.h"

namespace ls::test {
namespace {

namespace fs = std::filesystem;

// Three one-colour pictures that exist in the sandbox.
std::vector<std::string> ThreePictures(const ShowSandbox& box) {
  return {box.WriteBmp("media/red.bmp", 64, 48, 0xFF0000),
          box.WriteBmp("media/green.bmp", 64, 48, 0x00FF00),
          box.WriteBmp("media/blue.bmp", 64, 48, 0x0000FF)};
}

TEST(Slides, PackageOrderComesRoundAgain) {
  ShowSandbox box;
  const std::string scr = box.Pack(
      PicturesSection(ThreePictures(box), 1, "", "ShowImageRandomly=0\n"));
  const auto trace = box.Simulate(scr, "--seconds 30");
  const std::vector<int> order = SlideOrder(trace);
  ASSERT_GE(order.size(), 7u);
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], static_cast<int>(i % 3)) << i;
  EXPECT_EQ(trace.front().Str("mode"), "package");
  EXPECT_EQ(trace.front().Int("images"), 3);
  EXPECT_EQ(trace.back().ev, "end");
  EXPECT_TRUE(trace.back().Bool("workdir_removed"));
  EXPECT_FALSE(fs::exists(box.WorkingFolder()));
}

TEST(Slides, RandomOrderNeverRepeatsAndAlternatesWithTwo) {
  ShowSandbox box;
  const auto pictures = ThreePictures(box);
  const std::string four = box.Pack(
      PicturesSection({pictures[0], pictures[1], pictures[2], pictures[0]}, 1), "Four.scr");
  const auto order = SlideOrder(box.Simulate(four, "--seconds 60 --seed 5"));
  ASSERT_GE(order.size(), 20u);
  std::set<int> seen(order.begin(), order.end());
  EXPECT_EQ(seen.size(), 4u);
  for (size_t i = 1; i < order.size(); ++i) EXPECT_NE(order[i], order[i - 1]) << i;

  const std::string two = box.Pack(PicturesSection({pictures[0], pictures[1]}, 1), "Two.scr");
  const auto alternating = SlideOrder(box.Simulate(two, "--seconds 30 --seed 9"));
  ASSERT_GE(alternating.size(), 8u);
  for (size_t i = 1; i < alternating.size(); ++i)
    EXPECT_EQ(alternating[i], 1 - alternating[i - 1]) << i;
}

TEST(Slides, SameSeedGivesTheSameShow) {
  ShowSandbox box;
  const auto pictures = ThreePictures(box);
  const std::string scr = box.Pack(PicturesSection(pictures, 1));
  const auto a = box.Simulate(scr, "--seconds 20 --seed 3");
  const auto b = box.Simulate(scr, "--seconds 20 --seed 3");
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].t, b[i].t);
    EXPECT_EQ(a[i].ev, b[i].ev);
  }
  EXPECT_EQ(SlideOrder(a), SlideOrder(b));
}

// A missing file (direct-run: the path names nothing) and a damaged one are
// passed over, and the next tick comes after the same interval.
TEST(Slides, MissingAndUndecodablePicturesAreSkippedAtTheSameInterval) {
  ShowSandbox box;
  const auto pictures = ThreePictures(box);
  const std::string damaged = box.WriteFile("media/damaged.jpg", "this is no JPEG at all");
  box.WriteDirectRunSettings(
      PicturesSection({pictures[0], box.Path("media/nothing-here.bmp"), damaged, pictures[1]}, 2,
                      "", "ShowImageRandomly=0\n"));
  const auto trace = box.Simulate(ShowRunnerPath(), "--seconds 30");
  const auto skips = Events(trace, "skip");
  ASSERT_GE(skips.size(), 2u);
  EXPECT_EQ(skips[0].Int("index"), 1);
  EXPECT_EQ(skips[0].Str("reason"), "missing");
  EXPECT_EQ(skips[1].Int("index"), 2);
  EXPECT_EQ(skips[1].Str("reason"), "undecodable");

  const auto completes = Events(trace, "complete");
  const auto slides = Events(trace, "slide");
  ASSERT_GE(slides.size(), 2u);
  EXPECT_EQ(slides[0].Int("index"), 0);
  EXPECT_EQ(slides[1].Int("index"), 3);
  // Picture 0 completes at c; the ticks come at c + 2 s (skip), c + 4 s
  // (skip), c + 6 s (picture 3).
  const TraceEvent* c0 = nullptr;
  for (const auto& c : completes)
    if (!c.IsNull("index") && c.Int("index") == 0) {
      c0 = &c;
      break;
    }
  ASSERT_NE(c0, nullptr);
  EXPECT_EQ(skips[0].t, c0->t + 2000);
  EXPECT_EQ(skips[1].t, c0->t + 4000);
  EXPECT_EQ(slides[1].t, c0->t + 6000);
}

TEST(Slides, SplashImageHoldsForItsIntervalPlusOneSecond) {
  ShowSandbox box;
  const std::string splash = box.WriteJpeg("media/splash.jpg", 80, 60, 0x808080);
  const std::string scr =
      box.Pack(PicturesSection(ThreePictures(box), 3, "", "ShowImageRandomly=0\n") +
               "[Splash]\nSplashScreenImage=" + splash + "\nSplashInterval=5\n");
  const auto trace = box.Simulate(scr, "--seconds 20");
  const auto splashEv = Events(trace, "splash");
  ASSERT_EQ(splashEv.size(), 1u);
  EXPECT_FALSE(splashEv[0].IsNull("file"));
  EXPECT_EQ(splashEv[0].Int("style"), 118);
  EXPECT_EQ(splashEv[0].t, 100u);  // the splash timer's 100 ms after start-up
  const auto completes = Events(trace, "complete");
  ASSERT_FALSE(completes.empty());
  EXPECT_TRUE(completes[0].IsNull("index"));  // the splash image's transition
  const auto slides = Events(trace, "slide");
  ASSERT_FALSE(slides.empty());
  EXPECT_EQ(slides[0].t, completes[0].t + 6000);
}

TEST(Slides, WithoutSplashFirstSlideAfterTwoSecondsAndFirstTrackAfterOne) {
  ShowSandbox box;
  const std::string scr =
      box.Pack(PicturesSection(ThreePictures(box), 3) + "[Music]\nMusicCount=1\n[Musics]\nMusic1=" +
               box.WriteWav("media/m.wav", 1000) + "\n");
  const auto trace = box.Simulate(scr, "--seconds 10");
  const auto splash = Events(trace, "splash");
  ASSERT_EQ(splash.size(), 1u);
  EXPECT_TRUE(splash[0].IsNull("file"));
  const auto slides = Events(trace, "slide");
  const auto tracks = Events(trace, "track");
  ASSERT_FALSE(slides.empty());
  ASSERT_FALSE(tracks.empty());
  EXPECT_EQ(slides[0].t, splash[0].t + 2000);
  EXPECT_EQ(tracks[0].t, splash[0].t + 1000);
  EXPECT_EQ(tracks[0].Int("n"), 1);
}

// A splash image that exists but cannot be decoded is treated as missing:
// the slides and music still start.
TEST(Slides, UndecodableSplashCountsAsMissing) {
  ShowSandbox box;
  const std::string bad = box.WriteFile("media/splash.jpg", "not a picture");
  const std::string scr = box.Pack(PicturesSection(ThreePictures(box), 3) +
                                   "[Splash]\nSplashScreenImage=" + bad + "\nSplashInterval=5\n");
  const auto trace = box.Simulate(scr, "--seconds 10");
  const auto splash = Events(trace, "splash");
  ASSERT_EQ(splash.size(), 1u);
  EXPECT_TRUE(splash[0].IsNull("file"));
  const auto slides = Events(trace, "slide");
  ASSERT_FALSE(slides.empty());
  EXPECT_EQ(slides[0].t, splash[0].t + 2000);
}

TEST(Slides, SceneDurationCountsFromTheEndOfTheTransitionAndZeroHolds) {
  ShowSandbox box;
  const auto pictures = ThreePictures(box);
  box.WriteDirectRunSettings(PicturesSection(pictures, 3, "", "ShowImageRandomly=0\n",
                                             {{"File1SceneDuration", "0"}}));
  const auto trace = box.Simulate(ShowRunnerPath(), "--seconds 40");
  const auto slides = Events(trace, "slide");
  ASSERT_EQ(slides.size(), 2u);  // picture 1 stays for good
  EXPECT_EQ(slides[1].Int("index"), 1);
  const auto completes = Events(trace, "complete");
  ASSERT_EQ(completes.size(), 2u);  // pictures 0 and 1 (no splash image)
  EXPECT_EQ(completes[0].Int("index"), 0);
  EXPECT_GT(completes[0].t, slides[0].t);  // the transition took its time
  EXPECT_EQ(slides[1].t, completes[0].t + 3000);
}

uint32_t CentrePixel(const std::string& png) {
  const auto b = ReadPng(png);
  EXPECT_TRUE(b.has_value()) << png;
  if (!b) return 0xDEAD;
  return b->At(b->Width() / 2, b->Height() / 2) & 0xFFFFFF;
}

// Frames at the start of the second slide: with ClearOldImage the view is
// cleared to its colour first; without it, the first picture is still there.
TEST(Slides, ClearOldImageStartsEachSlideFromTheBackground) {
  for (bool clear : {true, false}) {
    ShowSandbox box;
    box.WriteDirectRunSettings(
        PicturesSection(ThreePictures(box), 1, "File{i}TransitionMode=3\n",
                        std::string("ShowImageRandomly=0\nClearOldImage=") + (clear ? "1" : "0") +
                            "\n") +
        "[Background]\nBackgroundColor=" + std::to_string(0x00FFFF) + "\n");  // yellow
    const std::string frames = box.Path("frames");
    const auto trace = box.Simulate(ShowRunnerPath(), "--seconds 12 --frames " + Quote(frames));
    std::vector<std::string> slide1;
    for (const auto& f : fs::directory_iterator(frames))
      if (f.path().filename().string().find("-slide-1.png") != std::string::npos)
        slide1.push_back(f.path().string());
    ASSERT_GE(slide1.size(), 1u);
    std::sort(slide1.begin(), slide1.end());  // the first showing of picture 1
    EXPECT_EQ(CentrePixel(slide1[0]), clear ? 0xFFFF00u : 0xFF0000u) << "clear=" << clear;
    // Scene time counts from the picture's own transition, not the clearing pass.
    const auto slides = Events(trace, "slide");
    const auto completes = Events(trace, "complete");
    ASSERT_GE(slides.size(), 2u);
    ASSERT_GE(completes.size(), 1u);
    EXPECT_EQ(slides[1].t, completes[0].t + 1000);
  }
}

// Slides know JPEG and GIF by their extension; any other file is read as a
// Windows bitmap whatever its extension says. So bitmap data named ".png"
// shows, and an icon (which the general loader would draw) is passed over.
TEST(Slides, OtherExtensionsGoToTheBitmapLoader) {
  ShowSandbox box;
  const std::string bmp = box.WriteBmp("media/bitmap.bmp", 8, 6, 0x336699);
  const std::string bmpNamedPng = box.Path("media/bitmap.png");
  fs::rename(bmp, bmpNamedPng);
  // A 2 x 2 icon of 32-bit pixels with its mask.
  const unsigned char icon[] = {
      0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 32, 0, 64, 0, 0, 0, 22, 0, 0, 0, 40, 0,
      0, 0, 2, 0, 0, 0, 4, 0, 0, 0, 1, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0x40, 0x80, 0xFF, 0x20, 0x40, 0x80, 0xFF,
      0x20, 0x40, 0x80, 0xFF, 0x20, 0x40, 0x80, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0};
  const std::string ico =
      box.WriteFile("media/icon.ico", std::string(reinterpret_cast<const char*>(icon), sizeof icon));
  box.WriteDirectRunSettings(PicturesSection({bmpNamedPng, ico}, 2, "", "ShowImageRandomly=0\n"));
  const auto trace = box.Simulate(ShowRunnerPath(), "--seconds 12");
  const auto slides = Events(trace, "slide");
  const auto skips = Events(trace, "skip");
  ASSERT_FALSE(slides.empty());
  EXPECT_EQ(slides[0].Int("index"), 0);
  ASSERT_FALSE(skips.empty());
  EXPECT_EQ(skips[0].Int("index"), 1);
  EXPECT_EQ(skips[0].Str("reason"), "undecodable");
  for (const auto& s : slides) EXPECT_EQ(s.Int("index"), 0);
}

}  // namespace
}  // namespace ls::test
