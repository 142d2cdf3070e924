// Background music and picture sounds, seen through the trace of `simulate`.
#include <gtest/gtest.h>

#include <set>

#include "tests/show/ShowTestSupport.h"

namespace ls::test {
namespace {

struct MusicShow {
  std::vector<TraceEvent> trace;
  std::vector<int> order;
};

// A direct-run show of one picture and `tracks` (paths) with these [Music] keys.
MusicShow RunMusic(const ShowSandbox& box, const std::vector<std::string>& tracks,
                   const std::string& musicKeys, int seconds, const std::string& extra = "") {
  std::string ini = PicturesSection({box.WriteBmp("media/p.bmp", 32, 24, 0x336699)}, 5) +
                    "[Music]\nMusicCount=" + std::to_string(tracks.size()) + "\n" + musicKeys +
                    "[Musics]\n";
  for (size_t i = 0; i < tracks.size(); ++i)
    ini += "Music" + std::to_string(i + 1) + "=" + tracks[i] + "\n";
  box.WriteDirectRunSettings(ini + extra);
  MusicShow s;
  s.trace = box.Simulate(ShowRunnerPath(), "--seconds " + std::to_string(seconds));
  s.order = TrackOrder(s.trace);
  return s;
}

std::vector<std::string> Tracks(const ShowSandbox& box, int count, uint32_t ms) {
  std::vector<std::string> t;
  for (int i = 1; i <= count; ++i)
    t.push_back(box.WriteWav("media/track" + std::to_string(i) + ".wav", ms));
  return t;
}

TEST(Music, InOrderWithAndWithoutLoop) {
  ShowSandbox box;
  const auto tracks = Tracks(box, 3, 1000);
  const MusicShow loop = RunMusic(box, tracks, "PlayMusicOrder=1\nPlayMusicLoop=1\nPlayMusicInterval=1\n", 20);
  ASSERT_GE(loop.order.size(), 7u);
  for (size_t i = 0; i < loop.order.size(); ++i) EXPECT_EQ(loop.order[i], static_cast<int>(i % 3) + 1);
  // Each track ends after its length; the next starts one interval after that end.
  const auto starts = Events(loop.trace, "track");
  const auto ends = Events(loop.trace, "trackend");
  ASSERT_GE(ends.size(), 3u);
  for (size_t i = 0; i + 1 < starts.size() && i < ends.size(); ++i) {
    EXPECT_EQ(ends[i].Int("n"), starts[i].Int("n"));
    // A timer that falls due while a transition runs fires at the next
    // message pass, a millisecond later at most.
    EXPECT_NEAR(ends[i].t, starts[i].t + 1000, 1);
    EXPECT_NEAR(starts[i + 1].t, ends[i].t + 1000, 1);
  }

  const MusicShow once = RunMusic(box, tracks, "PlayMusicOrder=1\nPlayMusicLoop=0\nPlayMusicInterval=1\n", 30);
  EXPECT_EQ(once.order, (std::vector<int>{1, 2, 3}));
}

TEST(Music, RandomWithRepetitionNeverPlaysATrackTwiceInARow) {
  ShowSandbox box;
  const MusicShow s = RunMusic(box, Tracks(box, 3, 500), "PlayMusicOrder=0\nPlayMusicLoop=1\nPlayMusicInterval=1\n", 60);
  ASSERT_GE(s.order.size(), 20u);
  for (size_t i = 1; i < s.order.size(); ++i) EXPECT_NE(s.order[i], s.order[i - 1]) << i;
  EXPECT_EQ(std::set<int>(s.order.begin(), s.order.end()), (std::set<int>{1, 2, 3}));
  // PlayMusicOrder 2 is random as well; with two tracks they alternate.
  const MusicShow two = RunMusic(box, Tracks(box, 2, 500), "PlayMusicOrder=2\nPlayMusicLoop=1\nPlayMusicInterval=1\n", 30);
  ASSERT_GE(two.order.size(), 10u);
  for (size_t i = 1; i < two.order.size(); ++i) EXPECT_EQ(two.order[i], 3 - two.order[i - 1]);
}

TEST(Music, RandomOncePlaysEachTrackExactlyOnce) {
  ShowSandbox box;
  for (uint64_t seed : {1, 2, 3}) {
    (void)seed;
    const MusicShow s = RunMusic(box, Tracks(box, 4, 500), "PlayMusicOrder=0\nPlayMusicLoop=0\nPlayMusicInterval=1\n", 40);
    ASSERT_EQ(s.order.size(), 4u);
    EXPECT_EQ(std::set<int>(s.order.begin(), s.order.end()), (std::set<int>{1, 2, 3, 4}));
  }
}

TEST(Music, MissingTrackSkippedAfterOneInterval) {
  ShowSandbox box;
  auto tracks = Tracks(box, 3, 1000);
  tracks[1] = box.Path("media/gone.wav");
  const MusicShow s = RunMusic(box, tracks, "PlayMusicOrder=1\nPlayMusicLoop=0\nPlayMusicInterval=2\n", 30);
  EXPECT_EQ(s.order, (std::vector<int>{1, 3}));
  const auto starts = Events(s.trace, "track");
  const auto ends = Events(s.trace, "trackend");
  ASSERT_EQ(starts.size(), 2u);
  ASSERT_GE(ends.size(), 1u);
  EXPECT_NEAR(starts[1].t, ends[0].t + 2000 + 2000, 2);  // one interval for the missing track
}

// A track that exists but cannot be played counts as ended at once, so the
// music goes on after the usual pause instead of stopping for good.
TEST(Music, UnplayableTrackSkippedAfterThePause) {
  ShowSandbox box;
  auto tracks = Tracks(box, 3, 1000);
  tracks[1] = box.WriteFile("media/broken.wav", "RIFF but nothing more");
  const MusicShow s = RunMusic(box, tracks, "PlayMusicOrder=1\nPlayMusicLoop=0\nPlayMusicInterval=2\n", 30);
  EXPECT_EQ(s.order, (std::vector<int>{1, 2, 3}));
  const auto starts = Events(s.trace, "track");
  const auto ends = Events(s.trace, "trackend");
  ASSERT_EQ(starts.size(), 3u);
  ASSERT_GE(ends.size(), 2u);
  EXPECT_EQ(ends[1].Int("n"), 2);
  EXPECT_LE(ends[1].t - starts[1].t, 2u);
  EXPECT_NEAR(starts[2].t, ends[1].t + 2000, 1);
}

TEST(Music, PictureSoundsPlayWithMusicOffAndWaitHalfASecond) {
  ShowSandbox box;
  const std::string chime = box.WriteWav("media/chime.wav", 300);
  const std::string scr = box.Pack(
      PicturesSection({box.WriteBmp("media/a.bmp", 32, 24, 0xFF0000),
                       box.WriteBmp("media/b.bmp", 32, 24, 0x00FF00)},
                      1, "", "ShowImageRandomly=0\n", {{"File1Sound", chime}}) +
      "[Identify]\nId=build-7\n[Music]\nMusicCount=1\n[Musics]\nMusic1=" +
      box.WriteWav("media/m.wav", 1000) + "\n");
  box.WriteUserSettings(scr, "[Identify]\nId=build-7\n[UserSetting]\nUserPlayMusic=0\n");
  const auto trace = box.Simulate(scr, "--seconds 20");
  EXPECT_TRUE(Events(trace, "track").empty());
  const auto sounds = Events(trace, "sound");
  ASSERT_GE(sounds.size(), 2u);
  for (const auto& s : sounds) {
    EXPECT_EQ(s.Int("index"), 1);
    EXPECT_NE(s.Str("file").find("PictureSound1.wav"), std::string::npos) << s.Str("file");
  }
  // The slide follows its sound after the blocking 500 ms.
  for (const auto& slide : Events(trace, "slide"))
    if (slide.Int("index") == 1) {
      bool found = false;
      for (const auto& s : sounds) found = found || s.t + 500 == slide.t;
      EXPECT_TRUE(found) << "slide 1 at " << slide.t;
    }
}

}  // namespace
}  // namespace ls::test
