#pragma once
// What a running show reports to whoever watches it (the simulator's trace,
// tests). The show works the same with no observer at all.

#include <optional>
#include <string>

namespace ls {

// Why a slide was passed over.
enum class SkipReason {
  kMissing,      // the picture file does not exist
  kUndecodable,  // the file exists but no picture could be read from it
};

// Why the show ended.
enum class ExitReason {
  kEsc,         // the Esc key, which ends the show whatever the options
  kKey,         // any other key, with ExitOnKeyPress
  kClick,       // a click on the show, with ExitOnMouseClick
  kMove,        // the cursor moved 11 pixels or more right or down, with ExitOnMouseMove
  kDeactivate,  // the show window lost activation
  kTime,        // the run's time limit ran out (simulated shows)
};

const char* SkipReasonName(SkipReason reason);  // "missing", "undecodable"
const char* ExitReasonName(ExitReason reason);  // "esc", "key", "click", ...

class ShowObserver {
 public:
  virtual ~ShowObserver() = default;
  // Start-up is over: package or direct-run mode, picture entries and tracks in use.
  virtual void ShowStarted(bool packageMode, int images, int tracks) = 0;
  // The splash step runs; `file` is the splash image, nullopt when none is shown.
  virtual void SplashStarted(const std::optional<std::string>& file, int style) = 0;
  // A slide's transition is about to start (the clearing pass is not reported).
  virtual void SlideStarted(int index, int style, int step, bool caption) = 0;
  virtual void SlideSkipped(int index, SkipReason reason) = 0;
  // A transition ended; nullopt for the splash image's.
  virtual void TransitionCompleted(std::optional<int> index) = 0;
  virtual void SoundStarted(int index, const std::string& file) = 0;
  // Track n (from 1) was given to the music player / reported its end.
  virtual void TrackStarted(int n, const std::string& file) = 0;
  virtual void TrackEnded(int n) = 0;
  virtual void ShowEnding(ExitReason reason) = 0;
};

}  // namespace ls
