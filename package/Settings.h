#pragma once
// Every key of the three settings files (the package's settings file, the
// user settings file and the direct-run settings file), read with its
// default, and the rule that chooses the user's preferences. Plain structs
// shared by the show, the settings dialog, the preview and the tools.
//
// Texts shown to a person (captions, font names, the About page) are
// converted for display: UTF-8 when valid, else from GB18030.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "package/IniFile.h"

namespace ls {

// Most pictures a show uses; ImageCount values above it count as this.
inline constexpr int32_t kMaxPictures = 99;
// Most music tracks taken from MusicCount: a count beyond any real show
// would otherwise make the track list exhaust memory.
inline constexpr int32_t kMaxMusicTracks = 9999;
// Transition styles 0 to 127; TransitionEnabled has one flag per number.
inline constexpr int kStyleCount = 128;

// The user's preferences: the four User keys, TransitionStep and the exits.
struct Preferences {
  bool UserShowCaption = true;
  bool UserShowBackground = true;
  bool UserPlayMusic = true;
  bool UserShowTransition = true;
  int32_t TransitionStep = 2;
  bool ExitOnMouseMove = true;
  bool ExitOnMouseClick = true;
  bool ExitOnKeyPress = true;
};

// How the user settings file stood against the package's [Identify] Id.
enum class UserFileState {
  Missing,    // no user settings file: the package's values apply
  Matching,   // same Id (exact): the user file's values apply
  Different,  // another build's file: the package's values apply
};

struct PreferenceChoice {
  Preferences prefs;
  UserFileState userFile = UserFileState::Missing;
};

// GetWindowsFolder() + "/screensaverusersetting" + ProgramBaseName + ".ini".
std::string UserSettingsPath(const std::string& programPath);
// [Identify] Id of a settings file, unconverted (compared byte for byte).
std::string ReadPackageId(const IniFile& settings);
// The preference rule of a show with a package and of the settings dialog:
// reads the user settings file at userSettingsPath; never writes it.
PreferenceChoice ChoosePreferences(const IniFile& packageSettings,
                                   const std::string& userSettingsPath);
// Direct-run mode: the four User preferences true, TransitionStep from
// [Transition] (default 4), exits from [ExitOption].
Preferences DirectRunPreferences(const IniFile& directSettings);
// The dialog's start with a missing or different user file: the file is
// replaced (atomically) by one that holds only [Identify] Id = packageId.
// Throws IniWriteError.
void ResetUserSettingsFile(const std::string& userSettingsPath, const std::string& packageId);
// The dialog's OK: writes the eight preferences (throws IniWriteError).
void WriteUserPreferences(IniFile& userSettings, const Preferences& prefs);

// The media paths of a show: extracted from a package (Package.h) or named
// by the direct-run settings file.
struct MediaPaths {
  std::vector<std::string> musicFiles;  // entry k is track k + 1, present or not
  std::string backgroundImage;          // empty when none
  std::string splashImage;              // empty when none
  struct Picture {
    std::string file;   // the picture's path (may name no file)
    std::string sound;  // empty when the picture has no sound
  };
  std::vector<Picture> pictures;  // ImageCount entries, at most kMaxPictures
};

// [Music] MusicCount as used: negative counts as 0, cut to kMaxMusicTracks.
int32_t ReadMusicCount(const IniFile& settings);
// [Picture] ImageCount as used: negative counts as 0, cut to kMaxPictures.
int32_t ReadImageCount(const IniFile& settings);
// Direct-run mode: [Musics] Music<n>, [Background] BackgroundImage,
// [Splash] SplashScreenImage, [Pictures] File<i> and File<i>Sound.
MediaPaths ReadDirectRunMediaPaths(const IniFile& directSettings);

// One picture entry of the show.
struct PictureEntry {
  std::string PictureFile;
  int32_t PictureSize = 3;  // 1 own size, 2 stretched, other fitted
  bool ShowCaption = false;
  int32_t SceneDuration = 3;  // seconds after the transition
  std::string PictureSound;   // empty = none
  std::string Caption;        // display text
  bool CaptionShadow = true;
  int32_t CaptionPosition = 0;
  int32_t CaptionX = 10;
  int32_t CaptionY = 10;
  std::string CaptionFontName = "Verdana";
  int32_t CaptionFontSize = 12;
  uint32_t FontColor = 16777215;  // 0x00BBGGRR
  bool CaptionBold = false;
  bool CaptionItalic = false;
  bool CaptionUnderline = false;
  bool CaptionStrikeOut = false;
  int32_t TransitionMode = -1;  // -1 random, -2 none, else the style number
};

// The settings record of the show, except the preferences (see above) and
// the run-time fields (CurrentPicture, CurrentTrack, LastCursorPos).
struct ShowSettings {
  bool ShowImageRandomly = true;
  bool ClearOldImage = false;
  int32_t BackgroundMod = 1;  // 2 = background image
  uint32_t BackgroundColor = 0;
  std::string BackgroundImage;
  int32_t BackgroundImageMode = 1;  // 1 tiled, else stretched
  int32_t MusicCount = 0;
  int32_t PlayMusicOrder = 1;  // 1 in order, else random
  bool PlayMusicLoop = true;
  int32_t PlayMusicInterval = 3;
  std::vector<std::string> MusicFiles;
  std::string SplashImage;
  int32_t SplashInterval = 3;
  bool SplashFadeOut = true;
  bool SplashFullScreen = true;
  std::array<bool, kStyleCount> TransitionEnabled{};  // [0] unused (false)
  int32_t ImageCount = 0;
  std::vector<PictureEntry> Pictures;  // ImageCount entries
};

// Reads the settings record of the show from `settings` (package or
// direct-run file; the keys they share) and takes the media paths from
// `media`. MusicCount and ImageCount follow the entries of `media`.
ShowSettings ReadShowSettings(const IniFile& settings, const MediaPaths& media);
// Reads picture entry `index` of [Pictures] (without the two paths).
PictureEntry ReadPictureEntry(const IniFile& settings, int index);

// [CustomizeSettingDlg] of the package's settings file.
struct SettingDialogSettings {
  int32_t BannerFileDiskSize = 0;
  std::string BannerFileType;
  int32_t TxtFileDiskSize = 0;
  std::string ScreensaverName;  // display text
  std::string Authos;           // display text (the key is spelled so)
  std::string Compans;          // display text (the key is spelled so)
  std::string BannerLink;       // empty when UsingBannerLink is 0
  bool UsingBannerLink = true;
};
inline constexpr const char* kDefaultScreensaverName = "Untitled Screen Saver";
inline constexpr const char* kDefaultAuthor = "The lanternslide authors";
inline constexpr const char* kDefaultCompany = "lanternslide";
inline constexpr const char* kDefaultBannerLink = "https://lanternslide.org/";
SettingDialogSettings ReadSettingDialogSettings(const IniFile& settings);

// [CustomizePreviewDlg] of the package's settings file.
struct PreviewSettings {
  int32_t PreviewImageDiskSize = 0;
  std::string PreviewImageType;
  std::string PreviewLink;  // empty = nothing to open
};
PreviewSettings ReadPreviewSettings(const IniFile& settings);

}  // namespace ls
