#include "show/ScreensaverForm.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "package/Package.h"
#include "platform/files/Files.h"
#include "platform/graphics/Picture.h"
#include "platform/random/Random.h"
#include "show/ShowRules.h"

namespace ls {
namespace {

constexpr uint32_t kScScreensave = 0xF140;
// The splash image comes in with "Fade" when SplashFadeOut is set.
constexpr int kSplashFadeStyle = 118;
// Every slide paces its frames at this many milliseconds.
constexpr int kSlideDelay = 40;

// A timer interval from a number of seconds in the settings. A negative
// count would wrap to an interval of weeks; it leaves the timer at 0 (never
// fires) like a count of 0. Intervals stay below the clock's half range.
uint32_t IntervalMs(int64_t seconds, int64_t extraMs = 0) {
  if (seconds < 0) return 0;
  return static_cast<uint32_t>(std::min<int64_t>(seconds * 1000 + extraMs, INT32_MAX));
}

}  // namespace

TScreensaverForm::TScreensaverForm(const ShowEnvironment& env)
    : ScreenView(std::make_unique<TTransitionView>(*env.window)),
      ScreenTimer(Application()),
      SplashTimer(Application()),
      MusicTimer(Application()),
      MusicPlayer(CreateMediaPlayer(env.media, MediaRole::kMusic, Application())),
      SoundPlayer(CreateMediaPlayer(env.media, MediaRole::kSound, Application())),
      env_(env),
      window_(*env.window),
      observer_(env.observer) {
  // Design-time settings of the components.
  ScreenView->SetColor(0);
  ScreenView->SetStretch(true);
  ScreenView->SetStep(2);
  ScreenView->SetShowCaption(false);
  ScreenView->SetShowCaptionShadow(false);
  ScreenView->SetCaptionX(0);
  ScreenView->SetCaptionY(0);
  FontSpec font;
  font.name = "MS Sans Serif";
  font.color = 0xC0C0C0;  // silver
  ScreenView->SetCaptionFont(font);
  ScreenView->OnComplete = [this] { ScreenViewComplete(); };
  ScreenView->OnClick = [this] { ScreenViewClick(); };
  ScreenView->OnMouseMove = [this](int x, int y) { ScreenViewMouseMove(x, y); };

  ScreenTimer.SetEnabled(false);
  ScreenTimer.SetInterval(3000);
  ScreenTimer.OnTimer = [this] { ScreenTimerTimer(); };
  SplashTimer.SetEnabled(false);
  SplashTimer.SetInterval(100);
  SplashTimer.OnTimer = [this] { SplashTimerTimer(); };
  MusicTimer.SetEnabled(false);
  MusicTimer.SetInterval(1000);
  MusicTimer.OnTimer = [this] { MusicTimerTimer(); };
  MusicPlayer->OnEndOfStream = [this] { MusicPlayerEndOfStream(); };

  window_.handlers.onKeyDown = [this](int key, bool alt) { FormKeyDown(key, alt); };
  window_.handlers.onDeactivate = [this] { FormDeactivate(); };
  // A close request from the desktop ends the show like any exit, silently.
  window_.handlers.onClose = [this] {
    ScreenView->Stop();
    Close();
  };

  FormCreate();
}

TScreensaverForm::~TScreensaverForm() {
  FormDestroy();
  window_.handlers.onKeyDown = nullptr;
  window_.handlers.onDeactivate = nullptr;
  window_.handlers.onClose = nullptr;
}

const PictureEntry* TScreensaverForm::Entry(int index) const {
  if (index < 0 || index >= static_cast<int>(settings_.Pictures.size())) return nullptr;
  return &settings_.Pictures[index];
}

void TScreensaverForm::FormCreate() {
  packageMode_ = ReadPackageMarker(env_.programPath) == kPackageMarker;
  MediaPaths media;
  if (packageMode_) {
    // The preferences are chosen once the settings file is out, before the
    // background block is reached: without UserShowBackground it is passed over.
    ShowPackage package =
        ExtractShowPackage(env_.programPath, [this](const IniFile& settings) {
          prefs_ = ChoosePreferences(settings, UserSettingsPath(env_.programPath)).prefs;
          return prefs_.UserShowBackground;
        });
    WorkingFolder_ = package.workingFolder;
    SettingsIni = std::make_unique<IniFile>(package.settingsPath);
    media = std::move(package.media);
  } else {
    SettingsIni = std::make_unique<IniFile>(GetTempFolder() + "globalscreensaverini.ini");
    prefs_ = DirectRunPreferences(*SettingsIni);
    media = ReadDirectRunMediaPaths(*SettingsIni);
  }
  settings_ = ReadShowSettings(*SettingsIni, media);
  BackgroundMod_ = settings_.BackgroundMod;
  MusicFiles = settings_.MusicFiles;
  MusicMarks.assign(MusicFiles.size(), "New");
  SplashInterval_ = settings_.SplashInterval;

  ScreenView->SetColor(settings_.BackgroundColor);
  LoadBackground();

  SplashTimer.SetEnabled(true);

  window_.ShowCursor(false);
  cursorHidden_ = true;
  LastCursorPos_ = window_.CursorPos();

  if (observer_)
    observer_->ShowStarted(packageMode_, settings_.ImageCount, settings_.MusicCount);
}

void TScreensaverForm::LoadBackground() {
  if (BackgroundMod_ != 2 || settings_.BackgroundImage.empty()) return;
  // An image that exists but cannot be decoded is taken as missing: the show
  // goes on over its colour instead of stopping its start-up.
  std::optional<Bitmap> image;
  if (FileExists(settings_.BackgroundImage)) image = LoadPictureFile(settings_.BackgroundImage);
  if (image) {
    ScreenView->SetBgPicture(std::move(*image));
  } else {
    BackgroundMod_ = 1;
  }
  ScreenView->SetBgMode(settings_.BackgroundImageMode == 1 ? TBackgroundMode::bmTiled
                                                           : TBackgroundMode::bmStretched);
}

void TScreensaverForm::FormDestroy() {
  if (cursorHidden_) {
    window_.ShowCursor(true);
    cursorHidden_ = false;
  }
  MusicPlayer->Stop();
  SoundPlayer->Stop();
  ScreenView->Stop();
  MusicFiles.clear();
  MusicMarks.clear();
  SettingsIni.reset();
  if (!WorkingFolder_.empty()) DeleteFolderTree(WorkingFolder_);
}

void TScreensaverForm::Close() {
  closed_ = true;
  Application().Terminate();
}

void TScreensaverForm::EndShow(ExitReason reason) {
  if (observer_ && !closed_) observer_->ShowEnding(reason);
  ScreenView->Stop();
  Close();
}

void TScreensaverForm::FormDeactivate() { EndShow(ExitReason::kDeactivate); }

void TScreensaverForm::FormKeyDown(int virtualKey, bool /*alt*/) {
  if (virtualKey == vk::kEscape)
    EndShow(ExitReason::kEsc);
  else if (prefs_.ExitOnKeyPress)
    EndShow(ExitReason::kKey);
}

void TScreensaverForm::ScreenViewClick() {
  if (prefs_.ExitOnMouseClick) EndShow(ExitReason::kClick);
}

void TScreensaverForm::ScreenViewMouseMove(int /*x*/, int /*y*/) {
  if (!prefs_.ExitOnMouseMove) return;
  // The system cursor position, not the event's coordinates.
  const Point now = window_.CursorPos();
  if (MovementEndsShow(LastCursorPos_, now))
    EndShow(ExitReason::kMove);
  else
    LastCursorPos_ = now;
}

bool TScreensaverForm::WMSysCommand(uint32_t command) {
  return (command & 0xFFF0u) == kScScreensave;
}

void TScreensaverForm::SplashTimerTimer() {
  SplashTimer.SetEnabled(false);
  // A splash image that exists but cannot be decoded counts as missing, so
  // the slides and the music still start.
  std::optional<Bitmap> splash;
  if (!settings_.SplashImage.empty() && FileExists(settings_.SplashImage))
    splash = LoadPictureFile(settings_.SplashImage);
  if (splash) {
    const int style = settings_.SplashFadeOut ? kSplashFadeStyle : 0;
    if (observer_) observer_->SplashStarted(settings_.SplashImage, style);
    ScreenView->SetPicture(std::move(*splash));
    ScreenView->SetStyle(style);
    ScreenView->SetShowCaption(false);
    ScreenView->SetStretch(settings_.SplashFullScreen);
    ScreenView->SetStretchFine(settings_.SplashFullScreen);
    splashTransition_ = true;
    ScreenView->Execute();
    splashTransition_ = false;
  } else {
    if (observer_) observer_->SplashStarted(std::nullopt, 0);
    SplashInterval_ = 1;
  }
  CurrentPicture_ = -1;
  if (settings_.MusicCount > 0 && prefs_.UserPlayMusic) {
    CurrentTrack_ = 0;
    MusicTimer.SetInterval(IntervalMs(SplashInterval_));
    MusicTimer.SetEnabled(true);
  }
  ScreenTimer.SetInterval(IntervalMs(SplashInterval_, 1000));
  ScreenTimer.SetEnabled(true);
}

void TScreensaverForm::ScreenTimerTimer() {
  ScreenTimer.SetEnabled(false);
  ScreenView->SetPicture(Bitmap());
  if (settings_.ClearOldImage) {
    ScreenView->SetClearOldImage(true);
    ScreenView->SetStyle(0);
    ScreenView->Execute();
  }
  ScreenView->SetClearOldImage(false);

  Random& random = SharedRandom();
  random.ReseedFromClock(Application().GetTickCount());
  const int count = settings_.ImageCount;
  CurrentPicture_ = settings_.ShowImageRandomly ? NextPictureRandom(CurrentPicture_, count, random)
                                                : NextPictureInOrder(CurrentPicture_, count);
  const PictureEntry* entry = Entry(CurrentPicture_);

  if (entry && !entry->PictureSound.empty()) {
    if (observer_) observer_->SoundStarted(CurrentPicture_, entry->PictureSound);
    SoundPlayer->Stop();
    SoundPlayer->SetFileName(entry->PictureSound);
    SoundPlayer->Play();
    // Blocks without handling messages, as the show always has.
    Application().Sleep(500);
  }

  if (!entry || !FileExists(entry->PictureFile)) {
    if (observer_) observer_->SlideSkipped(CurrentPicture_, SkipReason::kMissing);
    ScreenTimer.SetEnabled(true);
    return;
  }

  const PictureFit fit = FitForPictureSize(entry->PictureSize);
  // A stretched picture is never shown larger than the screen, so a large
  // JPEG may be decoded at a reduced scale that still covers it.
  // Slides know JPEG and GIF; every other file must be a Windows bitmap.
  PictureLoadOptions options;
  options.decoders = PictureDecoders::kJpegGifOrBitmap;
  if (fit.stretch) {
    options.fitWidth = window_.ClientWidth();
    options.fitHeight = window_.ClientHeight();
  }
  PictureError error = PictureError::kNone;
  std::optional<Bitmap> picture = LoadPictureFile(entry->PictureFile, &error, options);
  if (!picture) {
    if (observer_)
      observer_->SlideSkipped(CurrentPicture_, error == PictureError::kMissing
                                                   ? SkipReason::kMissing
                                                   : SkipReason::kUndecodable);
    ScreenTimer.SetEnabled(true);
    return;
  }
  ScreenView->SetPicture(std::move(*picture));
  ScreenView->SetStretch(fit.stretch);
  ScreenView->SetStretchFine(fit.stretchFine);

  const bool caption = entry->ShowCaption && prefs_.UserShowCaption && !entry->Caption.empty();
  if (caption) {
    ScreenView->SetShowCaption(true);
    ScreenView->SetImageCaption(entry->Caption);
    ScreenView->SetShowCaptionShadow(entry->CaptionShadow);
    ScreenView->SetCaptionPosition(entry->CaptionPosition);
    ScreenView->SetCaptionX(entry->CaptionX);
    ScreenView->SetCaptionY(entry->CaptionY);
    FontSpec font;
    font.name = entry->CaptionFontName;
    font.sizePt = entry->CaptionFontSize;
    font.color = entry->FontColor;
    font.bold = entry->CaptionBold;
    font.italic = entry->CaptionItalic;
    font.underline = entry->CaptionUnderline;
    font.strikeOut = entry->CaptionStrikeOut;
    ScreenView->SetCaptionFont(font);
  } else {
    ScreenView->SetShowCaption(false);
  }

  const int style = ChooseTransitionStyle(entry->TransitionMode, settings_.TransitionEnabled,
                                          prefs_.UserShowTransition, random);
  ScreenView->SetStyle(style);
  ScreenView->SetStep(static_cast<uint16_t>(prefs_.TransitionStep));
  ScreenView->SetDelay(kSlideDelay);
  if (observer_) observer_->SlideStarted(CurrentPicture_, style, ScreenView->Step(), caption);
  ScreenView->Execute();
}

void TScreensaverForm::ScreenViewComplete() {
  if (ScreenView->ClearOldImage()) return;  // the end of a clearing pass
  if (observer_)
    observer_->TransitionCompleted(splashTransition_ ? std::nullopt
                                                     : std::optional<int>(CurrentPicture_));
  const PictureEntry* entry = Entry(CurrentPicture_);
  const int32_t seconds = entry ? entry->SceneDuration : 0;
  ScreenTimer.SetInterval(IntervalMs(seconds));
  ScreenTimer.SetEnabled(true);
}

void TScreensaverForm::MusicTimerTimer() {
  if (!prefs_.UserPlayMusic) return;
  MusicTimer.SetEnabled(false);
  const int count = static_cast<int>(MusicFiles.size());
  Random& random = SharedRandom();
  if (settings_.PlayMusicOrder == 1) {
    ++CurrentTrack_;
    if (CurrentTrack_ > count) {
      if (!settings_.PlayMusicLoop) return;  // the music has ended for good
      CurrentTrack_ = 1;
    }
  } else if (settings_.PlayMusicLoop) {
    random.ReseedFromClock(Application().GetTickCount());
    int k = random.Next(count) + 1;
    while (k == CurrentTrack_ && count > 1) k = random.Next(count) + 1;
    CurrentTrack_ = k;
  } else {
    bool anyNew = false;
    for (const std::string& mark : MusicMarks)
      if (mark == "New") {
        anyNew = true;
        break;
      }
    if (!anyNew) return;  // every track has had its turn
    random.ReseedFromClock(Application().GetTickCount());
    int j = random.Next(count);
    while (MusicMarks[j] != "New") j = random.Next(count);
    MusicMarks[j] = "Used";
    CurrentTrack_ = j + 1;
  }
  StartTrack(CurrentTrack_);
}

void TScreensaverForm::StartTrack(int track) {
  const std::string& file = MusicFiles[track - 1];
  if (!FileExists(file)) {
    MusicTimer.SetEnabled(true);  // the next choice after the same delay
    return;
  }
  if (observer_) observer_->TrackStarted(track, file);
  MusicPlayer->SetFileName(file);
  MusicPlayer->Play();
}

void TScreensaverForm::MusicPlayerEndOfStream() {
  if (observer_) observer_->TrackEnded(CurrentTrack_);
  MusicPlayer->SetFileName("");
  MusicTimer.SetInterval(IntervalMs(settings_.PlayMusicInterval));
  MusicTimer.SetEnabled(true);
}

}  // namespace ls
