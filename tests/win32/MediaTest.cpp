// The MCI media players on the Win32 loop: the end of a track comes once,
// through the loop and never from inside Play or Stop; a stopped track reports
// nothing; a file that cannot be played ends at once; music and a sound play
// side by side. Under Wine the tracks play on ALSA's null device (the test
// prefix's home points ALSA at it), which takes the samples faster than real
// time; so no test here measures how long a track lasts.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/app/NativeBackend.h"
#include "platform/files/Files.h"
#include "platform/files/win32/WideText.h"
#include "platform/media/MediaPlayers.h"
#include "tests/win32/Pump.h"

namespace ls {
namespace {

using test::Pump;
using test::PumpUntil;

// A folder of its own in the temporary folder, removed at the end.
class MediaFolder {
 public:
  MediaFolder() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = GetTempFolder() + "lanternslide-media-" + test->name() + "-" +
            std::to_string(GetCurrentProcessId());
    DeleteFolderTree(path_);
    CreateFolder(path_);
  }
  ~MediaFolder() { DeleteFolderTree(path_); }

  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = path_ + "\\" + name;
    EXPECT_TRUE(WriteFileAtomically(path, bytes)) << path;
    return path;
  }
  // A PCM WAV of silence, 22050 Hz, 16-bit mono.
  std::string WriteWav(const std::string& name, uint32_t ms) const {
    const uint32_t rate = 22050, bytes = rate * ms / 1000 * 2;
    std::string wav;
    auto u32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) wav += static_cast<char>(v >> (8 * i));
    };
    auto u16 = [&](uint16_t v) {
      wav += static_cast<char>(v);
      wav += static_cast<char>(v >> 8);
    };
    wav += "RIFF";
    u32(36 + bytes);
    wav += "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    wav += "data";
    u32(bytes);
    wav.append(bytes, '\0');
    return Write(name, wav);
  }
  // A standard MIDI file: one note of half a second.
  std::string WriteMidi(const std::string& name) const {
    const std::string track("\x00\x90\x3c\x40\x60\x80\x3c\x40\x00\xff\x2f\x00", 12);
    std::string midi("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk\x00\x00\x00", 21);
    midi += static_cast<char>(track.size());
    return Write(name, midi + track);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// Whether the file is free: an MCI device that still has it open keeps it
// from being deleted, and the show deletes its working folder at the end.
bool Deletable(const std::string& path) { return DeleteFileW(Widen(NativePath(path)).c_str()); }

class Win32Media : public ::testing::Test {
 protected:
  std::unique_ptr<MediaPlayer> Player(MediaRole role, int* ends) {
    auto player = CreateMediaPlayer(MediaBackend::kNative, role, *loop_);
    player->OnEndOfStream = [ends] { ++*ends; };
    return player;
  }

  std::unique_ptr<EventLoop> loop_ = CreateNativeEventLoop();
  MediaFolder folder_;
};

TEST_F(Win32Media, TrackEndsOnceThroughTheLoopAndReleasesItsFile) {
  int ends = 0;
  auto music = Player(MediaRole::kMusic, &ends);
  const std::string wav = folder_.WriteWav("track.wav", 300);
  music->SetFileName(wav);
  EXPECT_EQ(music->FileName(), wav);
  music->Play();
  EXPECT_EQ(ends, 0);  // never from inside Play
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return ends > 0; }));
  Pump(*loop_, 500);
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(Deletable(wav));
}

TEST_F(Win32Media, TrackPlaysAgainAfterItsEnd) {
  int ends = 0;
  auto music = Player(MediaRole::kMusic, &ends);
  music->SetFileName(folder_.WriteWav("again.wav", 300));
  for (int round = 1; round <= 2; ++round) {
    music->Play();
    ASSERT_TRUE(PumpUntil(*loop_, [&] { return ends == round; })) << "round " << round;
  }
  Pump(*loop_, 300);
  EXPECT_EQ(ends, 2);
}

TEST_F(Win32Media, StoppedOrReplacedTrackReportsNothing) {
  int ends = 0;
  auto music = Player(MediaRole::kMusic, &ends);
  music->Stop();  // harmless when nothing plays
  const std::string wav = folder_.WriteWav("long.wav", 3000);

  music->SetFileName(wav);
  music->Play();
  loop_->ProcessMessages();
  EXPECT_EQ(ends, 0) << "the track does not play";
  music->Stop();
  EXPECT_TRUE(Deletable(wav)) << "the stopped track still holds its file";

  // Replaced by a new file while it plays, and stopped twice.
  music->SetFileName(folder_.WriteWav("first.wav", 3000));
  music->Play();
  Pump(*loop_, 50);
  music->SetFileName(folder_.WriteWav("second.wav", 3000));
  music->Stop();
  music->Stop();
  Pump(*loop_, 4000);  // longer than the tracks
  EXPECT_EQ(ends, 0);
}

TEST_F(Win32Media, PlayAgainWhilePlayingReportsOnlyTheLastPlayback) {
  int ends = 0;
  auto sound = Player(MediaRole::kSound, &ends);
  sound->SetFileName(folder_.WriteWav("chime.wav", 300));
  sound->Play();
  Pump(*loop_, 30);
  sound->Play();
  sound->Play();
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return ends > 0; }));
  Pump(*loop_, 800);
  EXPECT_EQ(ends, 1);
}

// A file that cannot be played counts as ended at once: the end comes at the
// loop's next pass, after Play has returned, and only once.
TEST_F(Win32Media, UnplayableFileEndsAtOnce) {
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"missing file", folder_.Path() + "\\missing.wav"},
      {"no WAV inside", folder_.Write("garbage.wav", "RIFFjunkWAVEjunk and more junk")},
      {"empty file", folder_.Write("empty.wav", "")},
      {"quote in the name", folder_.Path() + "\\a\" alias x.wav"},
      {"folder", folder_.Path()},
  };
  for (const auto& [what, path] : cases) {
    SCOPED_TRACE(what);
    int ends = 0;
    auto music = Player(MediaRole::kMusic, &ends);
    music->SetFileName(path);
    music->Play();
    EXPECT_EQ(ends, 0);
    loop_->ProcessMessages();
    EXPECT_EQ(ends, 1);
    Pump(*loop_, 100);
    EXPECT_EQ(ends, 1);
  }
}

TEST_F(Win32Media, EmptyFileNamePlaysNothing) {
  int ends = 0;
  auto music = Player(MediaRole::kMusic, &ends);
  music->SetFileName("");
  music->Play();
  Pump(*loop_, 200);
  EXPECT_EQ(ends, 0);
}

TEST_F(Win32Media, StopCancelsTheEndOfAnUnplayableFile) {
  int ends = 0;
  auto music = Player(MediaRole::kMusic, &ends);
  music->SetFileName(folder_.Path() + "\\missing.mp3");
  music->Play();
  music->Stop();
  Pump(*loop_, 200);
  EXPECT_EQ(ends, 0);
}

TEST_F(Win32Media, PlayerDestroyedWithItsEndOnTheWay) {
  int ends = 0;
  auto music = Player(MediaRole::kMusic, &ends);
  music->SetFileName(folder_.Path() + "\\missing.wav");
  music->Play();
  music.reset();
  Pump(*loop_, 200);
  EXPECT_EQ(ends, 0);
}

// A MIDI track ends once: played to its end where there is a MIDI output,
// at once where there is none (the sequencer would otherwise hold it for ever).
TEST_F(Win32Media, MidiTrackEndsOnce) {
  int ends = 0;
  auto music = Player(MediaRole::kMusic, &ends);
  const std::string midi = folder_.WriteMidi("tune.mid");
  music->SetFileName(midi);
  music->Play();
  EXPECT_EQ(ends, 0);
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return ends > 0; }));
  Pump(*loop_, 300);
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(Deletable(midi));
}

TEST_F(Win32Media, MusicAndSoundPlayTogetherAndBothEnd) {
  int musicEnds = 0, soundEnds = 0;
  auto music = Player(MediaRole::kMusic, &musicEnds);
  auto sound = Player(MediaRole::kSound, &soundEnds);
  music->SetFileName(folder_.WriteWav("music.wav", 3000));
  sound->SetFileName(folder_.WriteWav("sound.wav", 300));
  music->Play();
  sound->Play();
  loop_->ProcessMessages();
  EXPECT_EQ(musicEnds + soundEnds, 0) << "a player did not start";
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return musicEnds > 0 && soundEnds > 0; }));
  Pump(*loop_, 500);
  EXPECT_EQ(musicEnds, 1);
  EXPECT_EQ(soundEnds, 1);
}

// An extension that MCI has no device for goes to the DirectShow device,
// which plays by the content (and, under Wine, names no device in its
// notification). The picture decoders may leave the thread in a COM
// apartment; the device plays in one too.
TEST_F(Win32Media, UnmappedExtensionPlaysByItsContent) {
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_TRUE(SUCCEEDED(com));
  struct ComEnd {
    ~ComEnd() { CoUninitialize(); }
  } comEnd;
  int ends = 0;
  auto sound = Player(MediaRole::kSound, &ends);
  const std::string wav = folder_.WriteWav("chime.sample", 300);
  sound->SetFileName(wav);
  sound->Play();
  loop_->ProcessMessages();
  EXPECT_EQ(ends, 0) << "the track does not play";
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return ends > 0; }));
  Pump(*loop_, 300);
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(Deletable(wav));
}

// Paths are UTF-8 in the program and reach MCI as UTF-16.
TEST_F(Win32Media, PlaysAFileWithANonAsciiName) {
  int ends = 0;
  auto music = Player(MediaRole::kMusic, &ends);
  const std::string wav = folder_.WriteWav("\xe9\x9f\xb3\xe4\xb9\x90 caf\xc3\xa9.wav", 3000);
  music->SetFileName(wav);
  music->Play();
  loop_->ProcessMessages();
  EXPECT_EQ(ends, 0) << "the track does not play";
  ASSERT_TRUE(PumpUntil(*loop_, [&] { return ends > 0; }));
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(Deletable(wav));
}

}  // namespace
}  // namespace ls
