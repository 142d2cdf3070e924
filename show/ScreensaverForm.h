#pragma once
// The full-screen show window: start-up (FormCreate), the slide scheduler,
// the splash step, background music and picture sounds, the exit rules and
// the shutdown (FormDestroy).
//
// The form is written against the platform layer only: a Window, the loop of
// Application(), media players from a backend and the picture view, so the
// same form runs on the real screen and in the headless simulator. Everything
// runs on the loop's thread.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TransitionView/TransitionView.h"
#include "package/IniFile.h"
#include "package/Settings.h"
#include "platform/app/EventLoop.h"
#include "platform/app/Window.h"
#include "platform/graphics/Geometry.h"
#include "platform/media/MediaPlayers.h"
#include "show/ShowEvents.h"

namespace ls {

// What a show needs from its surroundings.
struct ShowEnvironment {
  // The program file: its package is read, and its base name names the user
  // settings file.
  std::string programPath;
  // The show window; its client area is the whole screen. Must outlive the form.
  Window* window = nullptr;
  MediaBackend media = MediaBackend::kNative;
  // Told what the show does; may be null.
  ShowObserver* observer = nullptr;
};

class TScreensaverForm {
 public:
  // Creates the components and runs FormCreate.
  explicit TScreensaverForm(const ShowEnvironment& env);
  // Runs FormDestroy.
  ~TScreensaverForm();
  TScreensaverForm(const TScreensaverForm&) = delete;
  TScreensaverForm& operator=(const TScreensaverForm&) = delete;

  // Components, in declaration order.
  std::unique_ptr<TTransitionView> ScreenView;
  Timer ScreenTimer;
  Timer SplashTimer;
  Timer MusicTimer;
  std::unique_ptr<MediaPlayer> MusicPlayer;
  std::unique_ptr<MediaPlayer> SoundPlayer;

  // Handlers.
  void FormCreate();
  void FormDestroy();
  void FormDeactivate();
  void FormKeyDown(int virtualKey, bool alt);
  void ScreenTimerTimer();
  void ScreenViewComplete();
  void ScreenViewClick();
  void ScreenViewMouseMove(int x, int y);
  void SplashTimerTimer();
  void MusicTimerTimer();
  void MusicPlayerEndOfStream();
  // The system command filter: true (handled, nothing done) for the request
  // to start the screensaver (SC_SCREENSAVE), false for every other command,
  // which goes to the default handling.
  bool WMSysCommand(uint32_t command);

  // Ends the show the one way every exit handler does: stop the view, then
  // close the window (which ends the message loop).
  void EndShow(ExitReason reason);
  // Closes the window: the message loop ends; the form stays until destroyed.
  void Close();

  // Read-only views of the settings record, for the tools and the tests.
  bool PackageMode() const { return packageMode_; }
  const std::string& WorkingFolder() const { return WorkingFolder_; }
  const ShowSettings& Settings() const { return settings_; }
  const Preferences& Prefs() const { return prefs_; }
  int CurrentPicture() const { return CurrentPicture_; }
  int CurrentTrack() const { return CurrentTrack_; }
  int BackgroundMod() const { return BackgroundMod_; }
  Point LastCursorPos() const { return LastCursorPos_; }

 private:
  void LoadBackground();
  void StartTrack(int track);
  const PictureEntry* Entry(int index) const;

  ShowEnvironment env_;
  Window& window_;
  ShowObserver* observer_;

  // Settings record.
  std::unique_ptr<IniFile> SettingsIni;
  bool packageMode_ = false;
  ShowSettings settings_;
  Preferences prefs_;
  int32_t BackgroundMod_ = 1;
  std::vector<std::string> MusicFiles;
  std::vector<std::string> MusicMarks;
  int32_t SplashInterval_ = 3;
  int CurrentPicture_ = 0;
  int CurrentTrack_ = 0;
  Point LastCursorPos_;
  std::string WorkingFolder_;

  // Run-time state of the form itself.
  bool splashTransition_ = false;  // the running transition is the splash image's
  bool cursorHidden_ = false;
  bool closed_ = false;
};

}  // namespace ls
