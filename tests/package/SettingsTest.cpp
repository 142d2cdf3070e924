#include "package/Settings.h"

#include <gtest/gtest.h>

#include "platform/files/Files.h"
#include "tests/package/TestFolder.h"

namespace ls {
namespace {

const char* kPackageSettings =
    "[Identify]\nId=2026-12-11 10:00:00\n"
    "[Transition]\nTransitionStep=7\n"
    "[ExitOption]\nExitOnMouseMove=0\nExitOnMouseClick=1\nExitOnKeyPress=0\n";

TEST(SettingsTest, ImageCountIsCutTo99AndNeverNegative) {
  EXPECT_EQ(ReadImageCount(IniFile::FromText("[Picture]\nImageCount=150\n")), 99);
  EXPECT_EQ(ReadImageCount(IniFile::FromText("[Picture]\nImageCount=-3\n")), 0);
  EXPECT_EQ(ReadImageCount(IniFile::FromText("[Picture]\nImageCount=12\n")), 12);
  EXPECT_EQ(ReadMusicCount(IniFile::FromText("[Music]\nMusicCount=2000000000\n")), kMaxMusicTracks);

  IniFile direct = IniFile::FromText("[Picture]\nImageCount=150\n[Pictures]\nFile98=/p/98.jpg\n");
  ShowSettings show = ReadShowSettings(direct, ReadDirectRunMediaPaths(direct));
  EXPECT_EQ(show.ImageCount, 99);
  ASSERT_EQ(show.Pictures.size(), 99u);
  EXPECT_EQ(show.Pictures[98].PictureFile, "/p/98.jpg");
}

TEST(SettingsTest, FontColourReadsHexAndFallsBackToWhite) {
  IniFile ini = IniFile::FromText("[Pictures]\nFile0FontColor=0x0000FF\nFile1FontColor=red\n");
  EXPECT_EQ(ReadPictureEntry(ini, 0).FontColor, 255u);
  EXPECT_EQ(ReadPictureEntry(ini, 1).FontColor, 16777215u);
}

TEST(SettingsTest, PictureEntryDefaultsAndKeys) {
  const PictureEntry d = ReadPictureEntry(IniFile::FromText(""), 0);
  EXPECT_EQ(d.PictureSize, 3);
  EXPECT_EQ(d.SceneDuration, 3);
  EXPECT_FALSE(d.ShowCaption);
  EXPECT_TRUE(d.CaptionShadow);
  EXPECT_EQ(d.CaptionX, 10);
  EXPECT_EQ(d.CaptionY, 10);
  EXPECT_EQ(d.CaptionFontName, "Verdana");
  EXPECT_EQ(d.CaptionFontSize, 12);
  EXPECT_EQ(d.TransitionMode, -1);

  IniFile ini = IniFile::FromText(
      "[Pictures]\nFile4Size=1\nFile4SceneDuration=9\nFile4ShowCaption=1\nFile4Caption=Lake\n"
      "File4CaptionShadow=0\nFile4CaptionPosition=5\nFile4CaptionX=33\nFile4CaptionY=44\n"
      "File4CaptionFontName=Arial\nFile4CaptionFontSize=20\nFile4FfsBold=1\nFile4FfsItalic=1\n"
      "File4FfsUnderline=1\nFile4FfsStrikeOut=1\nFile4TransitionMode=-2\n");
  const PictureEntry e = ReadPictureEntry(ini, 4);
  EXPECT_EQ(e.PictureSize, 1);
  EXPECT_EQ(e.SceneDuration, 9);
  EXPECT_TRUE(e.ShowCaption);
  EXPECT_EQ(e.Caption, "Lake");
  EXPECT_FALSE(e.CaptionShadow);
  EXPECT_EQ(e.CaptionPosition, 5);
  EXPECT_EQ(e.CaptionX, 33);
  EXPECT_EQ(e.CaptionY, 44);
  EXPECT_EQ(e.CaptionFontName, "Arial");
  EXPECT_EQ(e.CaptionFontSize, 20);
  EXPECT_TRUE(e.CaptionBold && e.CaptionItalic && e.CaptionUnderline && e.CaptionStrikeOut);
  EXPECT_EQ(e.TransitionMode, -2);
}

TEST(SettingsTest, CaptionsInTheChineseCodePageAreConverted) {
  // "你好" in GB18030, and the same already in UTF-8.
  IniFile ini = IniFile::FromText(
      "[Pictures]\nFile0Caption=\xC4\xE3\xBA\xC3\nFile1Caption=\xE4\xBD\xA0\xE5\xA5\xBD\n"
      "[CustomizeSettingDlg]\nScreensaverName=\xC4\xE3\xBA\xC3\n");
  EXPECT_EQ(ReadPictureEntry(ini, 0).Caption, "\xE4\xBD\xA0\xE5\xA5\xBD");
  EXPECT_EQ(ReadPictureEntry(ini, 1).Caption, "\xE4\xBD\xA0\xE5\xA5\xBD");
  EXPECT_EQ(ReadSettingDialogSettings(ini).ScreensaverName, "\xE4\xBD\xA0\xE5\xA5\xBD");
}

TEST(SettingsTest, ShowSettingsDefaults) {
  const IniFile empty = IniFile::FromText("");
  const ShowSettings s = ReadShowSettings(empty, ReadDirectRunMediaPaths(empty));
  EXPECT_TRUE(s.ShowImageRandomly);
  EXPECT_FALSE(s.ClearOldImage);
  EXPECT_EQ(s.BackgroundMod, 1);
  EXPECT_EQ(s.BackgroundColor, 0u);
  EXPECT_EQ(s.BackgroundImageMode, 1);
  EXPECT_EQ(s.PlayMusicOrder, 1);
  EXPECT_TRUE(s.PlayMusicLoop);
  EXPECT_EQ(s.PlayMusicInterval, 3);
  EXPECT_EQ(s.SplashInterval, 3);
  EXPECT_TRUE(s.SplashFadeOut);
  EXPECT_TRUE(s.SplashFullScreen);
  EXPECT_EQ(s.ImageCount, 0);
  EXPECT_FALSE(s.TransitionEnabled[0]);
  for (int style = 1; style < kStyleCount; ++style) EXPECT_TRUE(s.TransitionEnabled[style]);

  const IniFile some = IniFile::FromText("[Transition]\n5=0\n127=0\n[Background]\nBackgroundColor=$FF8000\n");
  const ShowSettings t = ReadShowSettings(some, {});
  EXPECT_FALSE(t.TransitionEnabled[5]);
  EXPECT_FALSE(t.TransitionEnabled[127]);
  EXPECT_TRUE(t.TransitionEnabled[6]);
  EXPECT_EQ(t.BackgroundColor, 0xFF8000u);
}

TEST(SettingsTest, DirectRunNamesMediaByPath) {
  IniFile direct = IniFile::FromText(
      "[Music]\nMusicCount=2\n[Musics]\nMusic1=/m/one.ogg\n"
      "[Background]\nBackgroundMod=2\nBackgroundImage=/b/bg.jpg\n[Splash]\nSplashScreenImage=/s/s.gif\n"
      "[Picture]\nImageCount=2\n[Pictures]\nFile0=/p/0.jpg\nFile0Sound=/p/0.wav\nFile1=/p/1.bmp\n");
  const ShowSettings s = ReadShowSettings(direct, ReadDirectRunMediaPaths(direct));
  EXPECT_EQ(s.MusicCount, 2);
  EXPECT_EQ(s.MusicFiles, (std::vector<std::string>{"/m/one.ogg", ""}));
  EXPECT_EQ(s.BackgroundImage, "/b/bg.jpg");
  EXPECT_EQ(s.SplashImage, "/s/s.gif");
  ASSERT_EQ(s.Pictures.size(), 2u);
  EXPECT_EQ(s.Pictures[0].PictureFile, "/p/0.jpg");
  EXPECT_EQ(s.Pictures[0].PictureSound, "/p/0.wav");
  EXPECT_EQ(s.Pictures[1].PictureSound, "");

  const Preferences p = DirectRunPreferences(IniFile::FromText("[ExitOption]\nExitOnKeyPress=0\n"));
  EXPECT_EQ(p.TransitionStep, 4);
  EXPECT_TRUE(p.UserShowCaption && p.UserShowBackground && p.UserPlayMusic && p.UserShowTransition);
  EXPECT_FALSE(p.ExitOnKeyPress);
  EXPECT_EQ(DirectRunPreferences(IniFile::FromText("[Transition]\nTransitionStep=9\n")).TransitionStep, 9);
}

struct PreferenceCase {
  const char* name;
  const char* userFile;  // nullptr: no user settings file
  const char* package;
  UserFileState state;
  Preferences expected;
};

TEST(SettingsTest, PreferenceRule) {
  Preferences fromPackage;
  fromPackage.TransitionStep = 7;
  fromPackage.ExitOnMouseMove = false;
  fromPackage.ExitOnKeyPress = false;
  Preferences userDefaults;  // the user file's defaults: step 2, every exit on
  Preferences userValues;
  userValues.UserShowCaption = false;
  userValues.UserPlayMusic = false;
  userValues.TransitionStep = 10;
  userValues.ExitOnMouseClick = false;
  const char* userFull =
      "[Identify]\nId=2026-12-11 10:00:00\n[UserSetting]\nUserShowCaption=0\nUserPlayMusic=0\n"
      "TransitionStep=10\n[ExitOption]\nExitOnMouseClick=0\n";
  const PreferenceCase cases[] = {
      {"missing", nullptr, kPackageSettings, UserFileState::Missing, fromPackage},
      {"matching", userFull, kPackageSettings, UserFileState::Matching, userValues},
      {"only the id", "[Identify]\nId=2026-12-11 10:00:00\n", kPackageSettings, UserFileState::Matching,
       userDefaults},
      {"other build", "[Identify]\nId=2025-01-01 00:00:00\n[UserSetting]\nTransitionStep=10\n",
       kPackageSettings, UserFileState::Different, fromPackage},
      {"id with a trailing space", "[Identify]\nId=2026-12-11 10:00:00 \n", kPackageSettings, UserFileState::Matching,
       userDefaults},  // trailing space trimmed by the profile rules
      {"both ids missing", "[UserSetting]\nTransitionStep=10\n", "[Transition]\nTransitionStep=7\n",
       UserFileState::Matching, [] { Preferences p; p.TransitionStep = 10; return p; }()},
      {"package id missing", "[Identify]\nId=x\n", "[Transition]\nTransitionStep=7\n",
       UserFileState::Different, [] { Preferences p; p.TransitionStep = 7; return p; }()},
  };
  for (const auto& c : cases) {
    test::TestFolder dir;
    const std::string userPath = dir.Path("user.ini");
    if (c.userFile) test::WriteFile(userPath, c.userFile);
    const PreferenceChoice got = ChoosePreferences(IniFile::FromText(c.package), userPath);
    const Preferences& p = got.prefs;
    const Preferences& e = c.expected;
    EXPECT_EQ(got.userFile, c.state) << c.name;
    EXPECT_EQ(p.UserShowCaption, e.UserShowCaption) << c.name;
    EXPECT_EQ(p.UserShowBackground, e.UserShowBackground) << c.name;
    EXPECT_EQ(p.UserPlayMusic, e.UserPlayMusic) << c.name;
    EXPECT_EQ(p.UserShowTransition, e.UserShowTransition) << c.name;
    EXPECT_EQ(p.TransitionStep, e.TransitionStep) << c.name;
    EXPECT_EQ(p.ExitOnMouseMove, e.ExitOnMouseMove) << c.name;
    EXPECT_EQ(p.ExitOnMouseClick, e.ExitOnMouseClick) << c.name;
    EXPECT_EQ(p.ExitOnKeyPress, e.ExitOnKeyPress) << c.name;
  }
}

TEST(SettingsTest, IdsDifferingInCaseDoNotMatch) {
  test::TestFolder dir;
  test::WriteFile(dir.Path("user.ini"), "[Identify]\nId=abc\n[UserSetting]\nTransitionStep=9\n");
  const PreferenceChoice got =
      ChoosePreferences(IniFile::FromText("[Identify]\nId=ABC\n"), dir.Path("user.ini"));
  EXPECT_EQ(got.userFile, UserFileState::Different);
  EXPECT_EQ(got.prefs.TransitionStep, 2);
}

TEST(SettingsTest, UserFileLivesInTheConfigFolderAndRoundTrips) {
  test::TestFolder dir;
  const std::string path = UserSettingsPath("/opt/savers/Lakes.scr");
  EXPECT_EQ(path, dir.Path("config") + "/lanternslide/screensaverusersettingLakes.ini");
  EXPECT_TRUE(FolderExists(dir.Path("config") + "/lanternslide"));

  const IniFile package = IniFile::FromText(kPackageSettings);
  test::WriteFile(path, "[Identify]\nId=old\n[UserSetting]\nUserShowCaption=0\n");
  ResetUserSettingsFile(path, ReadPackageId(package));
  EXPECT_EQ(test::ReadFile(path), "[Identify]\r\nId=2026-12-11 10:00:00\r\n");

  Preferences chosen;
  chosen.UserShowTransition = false;
  chosen.TransitionStep = 10;
  chosen.ExitOnMouseMove = false;
  IniFile user(path);
  WriteUserPreferences(user, chosen);
  const PreferenceChoice back = ChoosePreferences(package, path);
  EXPECT_EQ(back.userFile, UserFileState::Matching);
  EXPECT_FALSE(back.prefs.UserShowTransition);
  EXPECT_TRUE(back.prefs.UserShowCaption);
  EXPECT_EQ(back.prefs.TransitionStep, 10);
  EXPECT_FALSE(back.prefs.ExitOnMouseMove);
  EXPECT_TRUE(back.prefs.ExitOnKeyPress);
}

TEST(SettingsTest, DialogAndPreviewKeys) {
  const SettingDialogSettings d = ReadSettingDialogSettings(IniFile::FromText(""));
  EXPECT_EQ(d.ScreensaverName, "Untitled Screen Saver");
  EXPECT_EQ(d.Authos, kDefaultAuthor);
  EXPECT_EQ(d.BannerLink, kDefaultBannerLink);
  const SettingDialogSettings off = ReadSettingDialogSettings(IniFile::FromText(
      "[CustomizeSettingDlg]\nBannerLink=https://example.org/\nUsingBannerLink=0\nAuthos=Ann\nCompans=Co\n"));
  EXPECT_EQ(off.BannerLink, "");
  EXPECT_EQ(off.Authos, "Ann");
  EXPECT_EQ(off.Compans, "Co");
  const PreviewSettings p = ReadPreviewSettings(IniFile::FromText(
      "[CustomizePreviewDlg]\nPreviewImageDiskSize=12\nPreviewImageType=.gif\nPreviewLink=http://x/\n"));
  EXPECT_EQ(p.PreviewImageDiskSize, 12);
  EXPECT_EQ(p.PreviewImageType, ".gif");
  EXPECT_EQ(p.PreviewLink, "http://x/");
}

}  // namespace
}  // namespace ls
