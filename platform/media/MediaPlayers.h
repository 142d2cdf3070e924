#pragma once
// Creating the show's media players, and what the players know about audio
// files without playing them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/app/EventLoop.h"
#include "platform/media/MediaPlayer.h"

namespace ls {

enum class MediaBackend {
  kNative,    // the real audio device: SDL2_mixer on Linux, MCI on Windows
  kHeadless,  // no sound; tracks last their length on the loop's clock
};

// What a player is for; the native backends play the two on different paths.
enum class MediaRole {
  kMusic,  // background music: the mixer's music stream, end of track reported
  kSound,  // picture sounds: a mixer channel, so they sound over the music
};

// A player on `loop`. The loop must outlive the player. End-of-stream events
// are delivered through the loop, never from inside Play or Stop.
std::unique_ptr<MediaPlayer> CreateMediaPlayer(MediaBackend backend, MediaRole role,
                                               EventLoop& loop);

// Playing time of a PCM WAV file from its header (data bytes / byte rate), in
// milliseconds; nullopt when the file is missing or is no usable WAV. A data
// chunk that claims more than the file holds counts only what is there.
std::optional<uint32_t> WavDurationMs(const std::string& path);

// How long the headless backend plays a file: a WAV its real length, any
// other file of a format the real backend plays 5 seconds; nullopt when the
// file is missing or cannot be played (a damaged WAV, an unknown format).
std::optional<uint32_t> HeadlessPlayingTimeMs(const std::string& path);

}  // namespace ls
