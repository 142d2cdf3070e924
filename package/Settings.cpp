#include "package/Settings.h"

#include <algorithm>

#include "platform/files/Encoding.h"
#include "platform/files/Files.h"

namespace ls {

namespace {

std::string Key(const char* prefix, int index, const char* suffix) {
  return prefix + std::to_string(index) + suffix;
}

Preferences PackagePreferences(const IniFile& settings) {
  Preferences p;  // the four User preferences stay true
  p.TransitionStep = settings.ReadInteger("Transition", "TransitionStep", 2);
  p.ExitOnMouseMove = settings.ReadBool("ExitOption", "ExitOnMouseMove", true);
  p.ExitOnMouseClick = settings.ReadBool("ExitOption", "ExitOnMouseClick", true);
  p.ExitOnKeyPress = settings.ReadBool("ExitOption", "ExitOnKeyPress", true);
  return p;
}

}  // namespace

std::string UserSettingsPath(const std::string& programPath) {
  return GetWindowsFolder() + "/screensaverusersetting" + ProgramBaseName(programPath) + ".ini";
}

std::string ReadPackageId(const IniFile& settings) {
  return settings.ReadString("Identify", "Id", "");
}

PreferenceChoice ChoosePreferences(const IniFile& packageSettings,
                                   const std::string& userSettingsPath) {
  PreferenceChoice choice;
  if (!FileExists(userSettingsPath)) {
    choice.userFile = UserFileState::Missing;
    choice.prefs = PackagePreferences(packageSettings);
    return choice;
  }
  IniFile user(userSettingsPath);
  if (user.ReadString("Identify", "Id", "") != ReadPackageId(packageSettings)) {
    choice.userFile = UserFileState::Different;
    choice.prefs = PackagePreferences(packageSettings);
    return choice;
  }
  choice.userFile = UserFileState::Matching;
  Preferences& p = choice.prefs;
  p.UserShowCaption = user.ReadBool("UserSetting", "UserShowCaption", true);
  p.UserShowBackground = user.ReadBool("UserSetting", "UserShowBackground", true);
  p.UserPlayMusic = user.ReadBool("UserSetting", "UserPlayMusic", true);
  p.UserShowTransition = user.ReadBool("UserSetting", "UserShowTransition", true);
  p.TransitionStep = user.ReadInteger("UserSetting", "TransitionStep", 2);
  p.ExitOnMouseMove = user.ReadBool("ExitOption", "ExitOnMouseMove", true);
  p.ExitOnMouseClick = user.ReadBool("ExitOption", "ExitOnMouseClick", true);
  p.ExitOnKeyPress = user.ReadBool("ExitOption", "ExitOnKeyPress", true);
  return choice;
}

Preferences DirectRunPreferences(const IniFile& directSettings) {
  Preferences p = PackagePreferences(directSettings);
  p.TransitionStep = directSettings.ReadInteger("Transition", "TransitionStep", 4);
  return p;
}

void ResetUserSettingsFile(const std::string& userSettingsPath, const std::string& packageId) {
  IniFile fresh = IniFile::FromText("", userSettingsPath);
  fresh.SetString("Identify", "Id", packageId);
  fresh.Save();
}

void WriteUserPreferences(IniFile& user, const Preferences& p) {
  user.SetString("UserSetting", "UserShowCaption", p.UserShowCaption ? "1" : "0");
  user.SetString("UserSetting", "UserShowBackground", p.UserShowBackground ? "1" : "0");
  user.SetString("UserSetting", "UserPlayMusic", p.UserPlayMusic ? "1" : "0");
  user.SetString("UserSetting", "UserShowTransition", p.UserShowTransition ? "1" : "0");
  user.SetString("UserSetting", "TransitionStep", std::to_string(p.TransitionStep));
  user.SetString("ExitOption", "ExitOnMouseMove", p.ExitOnMouseMove ? "1" : "0");
  user.SetString("ExitOption", "ExitOnMouseClick", p.ExitOnMouseClick ? "1" : "0");
  user.SetString("ExitOption", "ExitOnKeyPress", p.ExitOnKeyPress ? "1" : "0");
  // One atomic replacement for all eight keys: either all are stored or none.
  user.Save();
}

int32_t ReadMusicCount(const IniFile& settings) {
  return std::clamp(settings.ReadInteger("Music", "MusicCount", 0), 0, kMaxMusicTracks);
}

int32_t ReadImageCount(const IniFile& settings) {
  return std::clamp(settings.ReadInteger("Picture", "ImageCount", 0), 0, kMaxPictures);
}

MediaPaths ReadDirectRunMediaPaths(const IniFile& s) {
  MediaPaths m;
  const int32_t tracks = ReadMusicCount(s);
  for (int n = 1; n <= tracks; ++n) m.musicFiles.push_back(s.ReadString("Musics", Key("Music", n, ""), ""));
  m.backgroundImage = s.ReadString("Background", "BackgroundImage", "");
  m.splashImage = s.ReadString("Splash", "SplashScreenImage", "");
  const int32_t pictures = ReadImageCount(s);
  for (int i = 0; i < pictures; ++i)
    m.pictures.push_back({s.ReadString("Pictures", Key("File", i, ""), ""),
                          s.ReadString("Pictures", Key("File", i, "Sound"), "")});
  return m;
}

PictureEntry ReadPictureEntry(const IniFile& s, int i) {
  PictureEntry e;
  auto str = [&](const char* suffix, const std::string& def) {
    return s.ReadString("Pictures", Key("File", i, suffix), def);
  };
  auto num = [&](const char* suffix, int32_t def) {
    return s.ReadInteger("Pictures", Key("File", i, suffix), def);
  };
  auto flag = [&](const char* suffix, bool def) {
    return s.ReadBool("Pictures", Key("File", i, suffix), def);
  };
  e.PictureSize = num("Size", 3);
  e.SceneDuration = num("SceneDuration", 3);
  e.ShowCaption = flag("ShowCaption", false);
  e.Caption = ToDisplayText(str("Caption", ""));
  e.CaptionShadow = flag("CaptionShadow", true);
  e.CaptionPosition = num("CaptionPosition", 0);
  e.CaptionX = num("CaptionX", 10);
  e.CaptionY = num("CaptionY", 10);
  e.CaptionFontName = ToDisplayText(str("CaptionFontName", "Verdana"));
  e.CaptionFontSize = num("CaptionFontSize", 12);
  e.FontColor = static_cast<uint32_t>(num("FontColor", 16777215));
  e.CaptionBold = flag("FfsBold", false);
  e.CaptionItalic = flag("FfsItalic", false);
  e.CaptionUnderline = flag("FfsUnderline", false);
  e.CaptionStrikeOut = flag("FfsStrikeOut", false);
  e.TransitionMode = num("TransitionMode", -1);
  return e;
}

ShowSettings ReadShowSettings(const IniFile& s, const MediaPaths& media) {
  ShowSettings r;
  r.ShowImageRandomly = s.ReadBool("Picture", "ShowImageRandomly", true);
  r.ClearOldImage = s.ReadBool("Picture", "ClearOldImage", false);
  r.BackgroundMod = s.ReadInteger("Background", "BackgroundMod", 1);
  r.BackgroundColor = static_cast<uint32_t>(s.ReadInteger("Background", "BackgroundColor", 0));
  r.BackgroundImage = media.backgroundImage;
  r.BackgroundImageMode = s.ReadInteger("Background", "BackgroundImageMode", 1);
  r.MusicFiles = media.musicFiles;
  r.MusicCount = static_cast<int32_t>(r.MusicFiles.size());
  r.PlayMusicOrder = s.ReadInteger("Music", "PlayMusicOrder", 1);
  r.PlayMusicLoop = s.ReadBool("Music", "PlayMusicLoop", true);
  r.PlayMusicInterval = s.ReadInteger("Music", "PlayMusicInterval", 3);
  r.SplashImage = media.splashImage;
  r.SplashInterval = s.ReadInteger("Splash", "SplashInterval", 3);
  r.SplashFadeOut = s.ReadBool("Splash", "SplashFadeOut", true);
  r.SplashFullScreen = s.ReadBool("Splash", "SplashFullScreen", true);
  r.TransitionEnabled[0] = false;
  for (int style = 1; style < kStyleCount; ++style)
    r.TransitionEnabled[style] = s.ReadBool("Transition", std::to_string(style), true);
  const size_t count = std::min<size_t>(media.pictures.size(), kMaxPictures);
  r.ImageCount = static_cast<int32_t>(count);
  for (size_t i = 0; i < count; ++i) {
    PictureEntry e = ReadPictureEntry(s, static_cast<int>(i));
    e.PictureFile = media.pictures[i].file;
    e.PictureSound = media.pictures[i].sound;
    r.Pictures.push_back(std::move(e));
  }
  return r;
}

SettingDialogSettings ReadSettingDialogSettings(const IniFile& s) {
  const char* sec = "CustomizeSettingDlg";
  SettingDialogSettings d;
  d.BannerFileDiskSize = s.ReadInteger(sec, "BannerFileDiskSize", 0);
  d.BannerFileType = s.ReadString(sec, "BannerFileType", "");
  d.TxtFileDiskSize = s.ReadInteger(sec, "TxtFileDiskSize", 0);
  d.ScreensaverName = ToDisplayText(s.ReadString(sec, "ScreensaverName", kDefaultScreensaverName));
  d.Authos = ToDisplayText(s.ReadString(sec, "Authos", kDefaultAuthor));
  d.Compans = ToDisplayText(s.ReadString(sec, "Compans", kDefaultCompany));
  d.UsingBannerLink = s.ReadBool(sec, "UsingBannerLink", true);
  d.BannerLink = d.UsingBannerLink ? s.ReadString(sec, "BannerLink", kDefaultBannerLink) : "";
  return d;
}

PreviewSettings ReadPreviewSettings(const IniFile& s) {
  PreviewSettings p;
  p.PreviewImageDiskSize = s.ReadInteger("CustomizePreviewDlg", "PreviewImageDiskSize", 0);
  p.PreviewImageType = s.ReadString("CustomizePreviewDlg", "PreviewImageType", "");
  p.PreviewLink = s.ReadString("CustomizePreviewDlg", "PreviewLink", "");
  return p;
}

}  // namespace ls
