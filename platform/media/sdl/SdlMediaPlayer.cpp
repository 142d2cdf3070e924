// The SDL2_mixer media players: music on the mixer's music stream, sounds on
// a mixer channel of their own, so a picture sound and the music can sound
// together.
//
// SDL2_mixer reports the end of music and of a channel on its audio thread
// (and from inside Mix_HaltMusic/Mix_HaltChannel on ours). Those hooks only
// post to the loop; no Mix_* call is made there. Each start of playback gets a
// new play id, and a posted end is delivered only while its id is still the
// player's current one, so a stopped or replaced track never reports an end
// and a finished one reports it once.
//
// Lock order: the mixer's audio lock, then HookMutex. No Mix_* call is made
// while HookMutex is held.
#include <SDL.h>
#include <SDL_mixer.h>

#include <array>
#include <mutex>

#include "platform/files/Files.h"
#include "platform/media/NativeMedia.h"

namespace ls {
namespace {

std::mutex& HookMutex() {
  static std::mutex m;
  return m;
}
uint64_t g_nextPlayId = 1;  // guarded by HookMutex

constexpr int kChannels = 8;

// Opens the audio device once for all players; closes it with the last one.
class AudioDevice {
 public:
  static bool Acquire() {
    if (users_++ > 0) return open_;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC | MIX_INIT_MID | MIX_INIT_OPUS |
             MIX_INIT_MOD);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
      Mix_Quit();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    Mix_AllocateChannels(kChannels);
    open_ = true;
    return true;
  }
  static void Release() {
    if (--users_ > 0) return;
    if (!open_) return;
    Mix_HookMusicFinished(nullptr);
    Mix_ChannelFinished(nullptr);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    open_ = false;
  }

 private:
  static inline int users_ = 0;
  static inline bool open_ = false;
};

class SdlPlayerBase : public MediaPlayer {
 public:
  explicit SdlPlayerBase(EventLoop& loop) : loop_(loop), audio_(AudioDevice::Acquire()) {}
  ~SdlPlayerBase() override { AudioDevice::Release(); }

  void SetFileName(const std::string& path) override {
    Stop();
    fileName_ = path;
  }
  const std::string& FileName() const override { return fileName_; }

 protected:
  // Whether `p` is a live player of this kind (HookMutex held).
  using LiveCheck = bool (*)(const SdlPlayerBase* p);

  // Posts the end of play `id` (HookMutex held by the caller).
  void PostEndLocked(uint64_t id, LiveCheck live) {
    loop_.Post([this, id, live] {
      {
        std::lock_guard lock(HookMutex());
        if (!live(this) || id != playId_) return;
        playId_ = 0;
      }
      if (OnEndOfStream) OnEndOfStream();
    });
  }
  // A new play id for a start of playback.
  uint64_t BeginPlay() {
    std::lock_guard lock(HookMutex());
    playId_ = g_nextPlayId++;
    return playId_;
  }
  // A file that cannot be played counts as ended at once, through the loop.
  void EndAtOnce(LiveCheck live) {
    std::lock_guard lock(HookMutex());
    playId_ = g_nextPlayId++;
    PostEndLocked(playId_, live);
  }
  void ForgetPlay() {
    std::lock_guard lock(HookMutex());
    playId_ = 0;
  }

  EventLoop& loop_;
  const bool audio_;
  std::string fileName_;
  uint64_t playId_ = 0;  // guarded by HookMutex; 0 = nothing to report
};

class SdlMusicPlayer : public SdlPlayerBase {
 public:
  explicit SdlMusicPlayer(EventLoop& loop) : SdlPlayerBase(loop) {
    {
      std::lock_guard lock(HookMutex());
      live_ = this;  // the music stream has one owner: the latest player
    }
    if (audio_) Mix_HookMusicFinished(&SdlMusicPlayer::Hook);
  }
  ~SdlMusicPlayer() override {
    Stop();
    std::lock_guard lock(HookMutex());
    if (live_ == this) live_ = nullptr;
  }

  void Play() override {
    Stop();
    if (fileName_.empty()) return;
    if (!audio_) return EndAtOnce(&IsLive);
    music_ = Mix_LoadMUS(NativePath(fileName_).c_str());
    if (!music_) return EndAtOnce(&IsLive);
    BeginPlay();
    if (Mix_PlayMusic(music_, 1) != 0) {
      ForgetPlay();
      Mix_FreeMusic(music_);
      music_ = nullptr;
      EndAtOnce(&IsLive);
    }
  }

  void Stop() override {
    ForgetPlay();  // the halt below reports an end that must not be delivered
    if (music_) {
      Mix_HaltMusic();
      Mix_FreeMusic(music_);
      music_ = nullptr;
    }
  }

 private:
  static void SDLCALL Hook() {
    std::lock_guard lock(HookMutex());
    if (live_ && live_->playId_ != 0) live_->PostEndLocked(live_->playId_, &IsLive);
  }
  static bool IsLive(const SdlPlayerBase* p) { return p == live_; }

  static inline SdlMusicPlayer* live_ = nullptr;  // guarded by HookMutex
  Mix_Music* music_ = nullptr;
};

class SdlSoundPlayer : public SdlPlayerBase {
 public:
  explicit SdlSoundPlayer(EventLoop& loop) : SdlPlayerBase(loop) {
    {
      std::lock_guard lock(HookMutex());
      for (int c = 0; c < kChannels; ++c)
        if (!owners_[c]) {
          owners_[c] = this;
          channel_ = c;
          break;
        }
    }
    if (audio_) Mix_ChannelFinished(&SdlSoundPlayer::Hook);
  }
  ~SdlSoundPlayer() override {
    Stop();
    std::lock_guard lock(HookMutex());
    if (channel_ >= 0) owners_[channel_] = nullptr;
  }

  void Play() override {
    Stop();
    if (fileName_.empty()) return;
    if (!audio_ || channel_ < 0) return EndAtOnce(&IsLive);
    chunk_ = Mix_LoadWAV(NativePath(fileName_).c_str());
    if (!chunk_) return EndAtOnce(&IsLive);
    BeginPlay();  // before the channel starts, so even a tiny sound reports its end
    if (Mix_PlayChannel(channel_, chunk_, 0) < 0) {
      ForgetPlay();
      Mix_FreeChunk(chunk_);
      chunk_ = nullptr;
      EndAtOnce(&IsLive);
    }
  }

  void Stop() override {
    ForgetPlay();
    if (chunk_) {
      Mix_HaltChannel(channel_);
      Mix_FreeChunk(chunk_);
      chunk_ = nullptr;
    }
  }

 private:
  static void SDLCALL Hook(int channel) {
    if (channel < 0 || channel >= kChannels) return;
    std::lock_guard lock(HookMutex());
    SdlSoundPlayer* p = owners_[channel];
    if (p && p->playId_ != 0) p->PostEndLocked(p->playId_, &IsLive);
  }
  static bool IsLive(const SdlPlayerBase* p) {
    for (SdlSoundPlayer* o : owners_)
      if (o == p) return true;
    return false;
  }

  static inline std::array<SdlSoundPlayer*, kChannels> owners_{};  // guarded by HookMutex
  Mix_Chunk* chunk_ = nullptr;
  int channel_ = -1;
};

}  // namespace

std::unique_ptr<MediaPlayer> CreateNativeMediaPlayer(MediaRole role, EventLoop& loop) {
  if (role == MediaRole::kMusic) return std::make_unique<SdlMusicPlayer>(loop);
  return std::make_unique<SdlSoundPlayer>(loop);
}

}  // namespace ls
