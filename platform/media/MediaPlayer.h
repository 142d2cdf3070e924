#pragma once
// A media player as the show uses it: give it a file, play, stop, and hear
// about the end of the track.
//
// Backends: SDL2_mixer or MCI (music and sounds on separate paths; both
// can sound together) and headless (a WAV file lasts its real length, any
// other file 5 seconds, on the loop's clock).

#include <functional>
#include <memory>
#include <string>

namespace ls {

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;
  // The file to play; an empty text releases the finished track.
  virtual void SetFileName(const std::string& path) = 0;
  virtual const std::string& FileName() const = 0;
  // Starts playback of FileName and returns at once.
  virtual void Play() = 0;
  // Ends playback; harmless when nothing plays.
  virtual void Stop() = 0;
  // Raised on the loop's thread, once, when the media has played to its end.
  std::function<void()> OnEndOfStream;
};

}  // namespace ls
