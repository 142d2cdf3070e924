// The media players: how long the headless player plays what, and that an
// end of a track comes once, through the loop.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/app/headless/HeadlessLoop.h"
#include "platform/media/MediaPlayers.h"
#include "tests/show/ShowTestSupport.h"

namespace ls {
namespace {

TEST(HeadlessMedia, PlayingTimeFromTheFile) {
  test::ShowSandbox box;
  EXPECT_EQ(WavDurationMs(box.WriteWav("a.wav", 1500)), 1500u);
  EXPECT_EQ(HeadlessPlayingTimeMs(box.WriteWav("b.WAV", 250)), 250u);
  EXPECT_EQ(HeadlessPlayingTimeMs(box.WriteFile("c.ogg", "OggS-not-really")), 5000u);
  EXPECT_EQ(HeadlessPlayingTimeMs(box.WriteFile("d.mp3", "ID3")), 5000u);
  // A WAV whose header is damaged, an unknown format, an empty and a missing file.
  EXPECT_EQ(HeadlessPlayingTimeMs(box.WriteFile("e.wav", "RIFF....WAVEjunk")), std::nullopt);
  EXPECT_EQ(HeadlessPlayingTimeMs(box.WriteFile("f.wma", "0&\xb2u")), std::nullopt);
  EXPECT_EQ(HeadlessPlayingTimeMs(box.WriteFile("g.ogg", "")), std::nullopt);
  EXPECT_EQ(HeadlessPlayingTimeMs(box.Path("missing.wav")), std::nullopt);
  // A data chunk that claims more than the file holds counts what is there.
  std::ifstream in(box.WriteWav("h.wav", 1000), std::ios::binary);
  std::string wav((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  wav.resize(44 + 8000);  // half a second of 8 kHz 16-bit mono
  EXPECT_EQ(WavDurationMs(box.WriteFile("i.wav", wav)), 500u);
}

TEST(HeadlessMedia, EndOfStreamOnceAtTheTrackLength) {
  test::ShowSandbox box;
  HeadlessLoop loop(0);
  auto player = CreateMediaPlayer(MediaBackend::kHeadless, MediaRole::kMusic, loop);
  std::vector<uint32_t> ends;
  player->OnEndOfStream = [&] { ends.push_back(loop.GetTickCount()); };
  player->SetFileName(box.WriteWav("t.wav", 1200));
  player->Play();
  loop.RunFor(5000);
  EXPECT_EQ(ends, (std::vector<uint32_t>{1200}));

  // Stopped before its end: no end is reported.
  ends.clear();
  player->Play();
  loop.RunFor(600);
  player->Stop();
  loop.RunFor(3000);
  EXPECT_TRUE(ends.empty());
}

TEST(HeadlessMedia, UnplayableFileEndsAtOnceThroughTheLoop) {
  test::ShowSandbox box;
  HeadlessLoop loop(0);
  auto player = CreateMediaPlayer(MediaBackend::kHeadless, MediaRole::kMusic, loop);
  int ends = 0;
  player->OnEndOfStream = [&] { ++ends; };
  player->SetFileName(box.WriteFile("bad.wma", "not audio"));
  player->Play();
  EXPECT_EQ(ends, 0);  // never from inside Play
  loop.RunFor(10);
  EXPECT_EQ(ends, 1);
  loop.RunFor(10000);
  EXPECT_EQ(ends, 1);
}

TEST(SdlMedia, MusicEndsOnceAndSoundPlaysBesideIt) {
  // The dummy audio driver plays in real time without a device.
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  test::ShowSandbox box;
  HeadlessLoop loop(0);  // the end is posted to whichever loop the player has
  auto music = CreateMediaPlayer(MediaBackend::kNative, MediaRole::kMusic, loop);
  auto sound = CreateMediaPlayer(MediaBackend::kNative, MediaRole::kSound, loop);
  int musicEnds = 0, soundEnds = 0;
  music->OnEndOfStream = [&] { ++musicEnds; };
  sound->OnEndOfStream = [&] { ++soundEnds; };
  music->SetFileName(box.WriteWav("m.wav", 300));
  sound->SetFileName(box.WriteWav("s.wav", 200));
  music->Play();
  sound->Play();
  // Real time passes while the loop handles posted calls.
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(2500)) {
    loop.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(musicEnds, 1);
  EXPECT_EQ(soundEnds, 1);

  // A stopped track reports nothing; an unplayable one ends at once.
  music->Play();
  music->Stop();
  music->SetFileName(box.WriteFile("x.ogg", "not audio"));
  music->Play();
  for (int i = 0; i < 20; ++i) {
    loop.ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(musicEnds, 2);
}

}  // namespace
}  // namespace ls
