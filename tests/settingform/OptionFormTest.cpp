// The settings dialog's logic, without a display: what FormCreate reads and
// writes, what FormClose stores, and what a banner click opens.

#include "settingform/OptionForm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "package/IniFile.h"
#include "settingform/RunConfigure.h"
#include "tests/preview/ScreensaverFile.h"

namespace {

using lstest::ReadFileText;
using lstest::ScreensaverFile;
using lstest::WriteFileText;

const char* const kPackageSettings =
    "[Identify]\r\nId=2026-12-11 09:30:00\r\n"
    "[Transition]\r\nTransitionStep=7\r\n"
    "[ExitOption]\r\nExitOnMouseMove=0\r\nExitOnMouseClick=1\r\nExitOnKeyPress=0\r\n";

class OptionFormTest : public lstest::ScratchFolders {
 protected:
  std::string MakeSaver(const ScreensaverFile& file, const std::string& name = "Lakes.scr") {
    file.Write(Saver(name));
    return Saver(name).string();
  }
  std::string MakeSaver(const std::string& settings) {
    ScreensaverFile file;
    file.settings = settings;
    return MakeSaver(file);
  }
  ls::IniFile UserIni() const { return ls::IniFile(UserFile("Lakes").string()); }

  // The eight stored preferences, as "key=value" in a fixed order ("-" when absent).
  std::vector<std::string> StoredPreferences() const {
    const ls::IniFile ini = UserIni();
    std::vector<std::string> out;
    const std::pair<const char*, const char*> keys[] = {
        {"UserSetting", "UserShowCaption"},  {"UserSetting", "UserShowBackground"},
        {"UserSetting", "UserPlayMusic"},    {"UserSetting", "UserShowTransition"},
        {"UserSetting", "TransitionStep"},   {"ExitOption", "ExitOnMouseMove"},
        {"ExitOption", "ExitOnMouseClick"}, {"ExitOption", "ExitOnKeyPress"}};
    for (const auto& [section, key] : keys)
      out.push_back(std::string(key) + "=" + ini.ReadString(section, key, "-"));
    return out;
  }
};

TEST_F(OptionFormTest, FirstStartCreatesTheUserFileWithThePackageIdAndShowsThePackageValues) {
  const std::string saver = MakeSaver(kPackageSettings);
  ASSERT_FALSE(std::filesystem::exists(UserFile("Lakes")));

  ls::TOptionForm form(saver);
  form.FormCreate();

  ASSERT_TRUE(std::filesystem::exists(UserFile("Lakes")));
  EXPECT_EQ(UserIni().ReadString("Identify", "Id", "?"), "2026-12-11 09:30:00");
  EXPECT_FALSE(UserIni().SectionExists("UserSetting"));
  EXPECT_TRUE(form.ShowCaptionCheckBox.Checked);
  EXPECT_TRUE(form.ShowBackgroundCheckBox.Checked);
  EXPECT_TRUE(form.PlayMusicCheckBox.Checked);
  EXPECT_TRUE(form.ShowTransitionCheckBox.Checked);
  EXPECT_EQ(form.TransitionStepTrackBar.Position(), 7);
  EXPECT_FALSE(form.MouseMoveCheckBox.Checked);
  EXPECT_TRUE(form.MouseClickCheckBox.Checked);
  EXPECT_FALSE(form.KeyPressCheckBox.Checked);
  EXPECT_EQ(form.ActivePageIndex, 0);
}

TEST_F(OptionFormTest, AUserFileOfAnotherBuildIsReplacedByOneHoldingOnlyThePackageId) {
  const std::string saver = MakeSaver(kPackageSettings);
  std::filesystem::create_directories(UserFile("Lakes").parent_path());
  WriteFileText(UserFile("Lakes"),
                "[Identify]\r\nId=2025-01-01 00:00:00\r\n[UserSetting]\r\nUserShowCaption=0\r\n"
                "TransitionStep=9\r\n[ExitOption]\r\nExitOnMouseMove=1\r\nExitOnKeyPress=1\r\n");

  ls::TOptionForm form(saver);
  form.FormCreate();

  EXPECT_EQ(UserIni().ReadString("Identify", "Id", "?"), "2026-12-11 09:30:00");
  EXPECT_FALSE(UserIni().SectionExists("UserSetting"));
  EXPECT_FALSE(UserIni().SectionExists("ExitOption"));
  EXPECT_TRUE(form.ShowCaptionCheckBox.Checked);
  EXPECT_EQ(form.TransitionStepTrackBar.Position(), 7);
  EXPECT_FALSE(form.MouseMoveCheckBox.Checked);
  EXPECT_FALSE(form.KeyPressCheckBox.Checked);
}

TEST_F(OptionFormTest, AMatchingUserFileIsReadAndLeftAsItWas) {
  const std::string saver = MakeSaver(kPackageSettings);
  std::filesystem::create_directories(UserFile("Lakes").parent_path());
  const std::string stored =
      "[Identify]\r\nId=2026-12-11 09:30:00\r\n[UserSetting]\r\nUserShowCaption=0\r\n"
      "UserPlayMusic=0\r\nTransitionStep=4\r\n[ExitOption]\r\nExitOnMouseClick=0\r\n";
  WriteFileText(UserFile("Lakes"), stored);

  ls::TOptionForm form(saver);
  form.FormCreate();

  EXPECT_EQ(ReadFileText(UserFile("Lakes")), stored);
  EXPECT_FALSE(form.ShowCaptionCheckBox.Checked);
  EXPECT_TRUE(form.ShowBackgroundCheckBox.Checked);
  EXPECT_FALSE(form.PlayMusicCheckBox.Checked);
  EXPECT_EQ(form.TransitionStepTrackBar.Position(), 4);
  // Keys missing from the user's file take the user file's defaults, not the package's.
  EXPECT_TRUE(form.MouseMoveCheckBox.Checked);
  EXPECT_FALSE(form.MouseClickCheckBox.Checked);
  EXPECT_TRUE(form.KeyPressCheckBox.Checked);
}

TEST_F(OptionFormTest, OkWritesAllEightValuesAndCancelOrTheCloseBoxWritesNone) {
  struct Case {
    ls::TModalResult result;
    bool writes;
  };
  for (const Case& c : {Case{ls::TModalResult::Ok, true}, Case{ls::TModalResult::Cancel, false},
                        Case{ls::TModalResult::None, false}}) {
    std::filesystem::remove(UserFile("Lakes"));
    const std::string saver = MakeSaver(kPackageSettings);
    ls::TOptionForm form(saver);
    form.FormCreate();
    const std::string afterCreate = ReadFileText(UserFile("Lakes"));
    form.ShowCaptionCheckBox.Checked = false;
    form.ShowBackgroundCheckBox.Checked = true;
    form.PlayMusicCheckBox.Checked = false;
    form.ShowTransitionCheckBox.Checked = true;
    form.TransitionStepTrackBar.SetPosition(9);
    form.MouseMoveCheckBox.Checked = true;
    form.MouseClickCheckBox.Checked = false;
    form.KeyPressCheckBox.Checked = true;
    form.FormClose(c.result);

    if (c.writes) {
      EXPECT_EQ(StoredPreferences(),
                (std::vector<std::string>{"UserShowCaption=0", "UserShowBackground=1",
                                          "UserPlayMusic=0", "UserShowTransition=1",
                                          "TransitionStep=9", "ExitOnMouseMove=1",
                                          "ExitOnMouseClick=0", "ExitOnKeyPress=1"}));
      EXPECT_EQ(UserIni().ReadString("Identify", "Id", "?"), "2026-12-11 09:30:00");
    } else {
      EXPECT_EQ(ReadFileText(UserFile("Lakes")), afterCreate) << static_cast<int>(c.result);
    }
  }
}

TEST_F(OptionFormTest, AStoredStepOutsideTheTrackBarIsShownAndStoredAsTheNearerEnd) {
  const std::string saver = MakeSaver(kPackageSettings);
  std::filesystem::create_directories(UserFile("Lakes").parent_path());
  for (const auto& [stored, shown] : {std::pair{15, 10}, std::pair{0, 1}, std::pair{-3, 1}}) {
    WriteFileText(UserFile("Lakes"), "[Identify]\r\nId=2026-12-11 09:30:00\r\n[UserSetting]\r\n"
                                     "TransitionStep=" + std::to_string(stored) + "\r\n");
    ls::TOptionForm form(saver);
    form.FormCreate();
    EXPECT_EQ(form.TransitionStepTrackBar.Position(), shown) << stored;
    form.FormClose(ls::TModalResult::Ok);
    EXPECT_EQ(UserIni().ReadInteger("UserSetting", "TransitionStep", -100), shown) << stored;
  }
}

TEST_F(OptionFormTest, TickingOnlyAnyKeyStoresThatAndReopeningShowsTheSameBoxes) {
  const std::string saver = MakeSaver(kPackageSettings);
  {
    ls::TOptionForm form(saver);
    form.FormCreate();
    form.MouseMoveCheckBox.Checked = false;
    form.MouseClickCheckBox.Checked = false;
    form.KeyPressCheckBox.Checked = true;
    form.FormClose(ls::TModalResult::Ok);
  }
  EXPECT_EQ(UserIni().ReadString("ExitOption", "ExitOnKeyPress", "-"), "1");
  EXPECT_EQ(UserIni().ReadString("ExitOption", "ExitOnMouseClick", "-"), "0");
  EXPECT_EQ(UserIni().ReadString("ExitOption", "ExitOnMouseMove", "-"), "0");

  ls::TOptionForm again(saver);
  again.FormCreate();
  EXPECT_FALSE(again.MouseMoveCheckBox.Checked);
  EXPECT_FALSE(again.MouseClickCheckBox.Checked);
  EXPECT_TRUE(again.KeyPressCheckBox.Checked);
}

TEST_F(OptionFormTest, OnlyTheKeysAuthosAndCompansFillTheAuthorAndCompanyLines) {
  struct Case {
    std::string keys;
    std::string author;
    std::string company;
  };
  const Case cases[] = {
      {"Author=Wrong Author\r\nCompany=Wrong Company\r\n", ls::kDefaultAuthor, ls::kDefaultCompany},
      {"Authos=Li Wei\r\nCompans=Lakeside Studio\r\nAuthor=Wrong\r\n", "Li Wei", "Lakeside Studio"},
      // Text written in the Chinese ANSI code page shows as Chinese.
      {"Authos=\xC0\xEE\xCE\xB0\r\n", "李伟", ls::kDefaultCompany},
  };
  for (const Case& c : cases) {
    ScreensaverFile file;
    file.settings = "[CustomizeSettingDlg]\r\nScreensaverName=Lakes of the North\r\n" + c.keys;
    const std::string saver = MakeSaver(file);
    ls::TOptionForm form(saver);
    form.FormCreate();
    EXPECT_EQ(form.AuthorLabel.Caption, c.author) << c.keys;
    EXPECT_EQ(form.CompanyLabel.Caption, c.company) << c.keys;
    EXPECT_EQ(form.ScreensaverNameLabel.Caption, "Lakes of the North");
    EXPECT_EQ(form.Caption, "Lakes of the North 屏幕保护程序设置");
  }
}

TEST_F(OptionFormTest, TheBannerLinkOpensOnClickUnlessUsingBannerLinkIsOff) {
  struct Case {
    std::string keys;
    std::string link;  // "" = none
  };
  const Case cases[] = {
      {"BannerLink=https://lakes.example/\r\n", "https://lakes.example/"},
      {"", ls::kDefaultBannerLink},
      {"BannerLink=https://lakes.example/\r\nUsingBannerLink=0\r\n", ""},
  };
  for (const Case& c : cases) {
    ScreensaverFile file;
    file.settings = "[CustomizeSettingDlg]\r\n" + c.keys;
    const std::string saver = MakeSaver(file);
    std::vector<std::string> opened;
    ls::TOptionForm form(saver, [&opened](const std::string& target) { opened.push_back(target); });
    form.FormCreate();
    form.BannerImageClick();
    if (c.link.empty()) {
      EXPECT_TRUE(opened.empty()) << c.keys;
      EXPECT_FALSE(form.BannerImage.HandCursor);
      EXPECT_EQ(form.BannerImage.Hint, "");
    } else {
      EXPECT_EQ(opened, std::vector<std::string>{c.link}) << c.keys;
      EXPECT_TRUE(form.BannerImage.HandCursor);
      EXPECT_EQ(form.BannerImage.Hint, c.link);
    }
  }
}

TEST_F(OptionFormTest, BannerAndReadmeBlocksAreShownWithoutAnyFileBeingWritten) {
  ScreensaverFile file;
  file.settings = kPackageSettings;
  file.banner = lstest::MakeBmp24(6, 3, [](int x, int y) { return x < 3 ? 0xFF0000u : 0x0000FFu + y; });
  file.bannerType = ".BMP";
  file.readme = "\xB5\xDA\xD2\xBB\xD0\xD0\r\nsecond line\r\n\r\nlast";  // "第一行" in GB18030
  const std::string saver = MakeSaver(file);

  ls::TOptionForm form(saver);
  form.FormCreate();

  ASSERT_EQ(form.BannerImage.Picture.Width(), 6);
  ASSERT_EQ(form.BannerImage.Picture.Height(), 3);
  EXPECT_EQ(form.BannerImage.Picture.At(0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(form.BannerImage.Picture.At(5, 2) & 0xFFFFFF, 0x0000FFu + 2);
  EXPECT_EQ(form.readmeedit.Lines, (std::vector<std::string>{"第一行", "second line", "", "last"}));
  // Only the user settings file was written: nothing in the temporary folder.
  EXPECT_TRUE(std::filesystem::is_empty(TempFolder()));
}

TEST_F(OptionFormTest, ABannerThatDoesNotDecodeLeavesTheBuiltInBanner) {
  for (const auto& [bytes, type] :
       {std::pair<std::string, std::string>{"not a picture at all", ".jpg"},
        std::pair<std::string, std::string>{"\x89PNG\r\n\x1a\n....", ".png"}}) {
    ScreensaverFile file;
    file.banner = bytes;
    file.bannerType = type;
    file.readme = "Lakes";
    const std::string saver = MakeSaver(file);
    ls::TOptionForm form(saver);
    form.FormCreate();
    EXPECT_EQ(form.BannerImage.Picture, ls::BuiltinBanner()) << type;
    // The steps after the banner still run.
    EXPECT_EQ(form.readmeedit.Lines, std::vector<std::string>{"Lakes"}) << type;
  }
}

TEST_F(OptionFormTest, AFileWithoutAPackageShowsTheBuiltInContent) {
  ScreensaverFile file;
  file.settings = "[CustomizeSettingDlg]\r\nScreensaverName=Should not be read\r\n";
  file.readme = "not read";
  file.marker = 0;
  const std::string saver = MakeSaver(file);

  ls::TOptionForm form(saver);
  form.FormCreate();

  EXPECT_EQ(form.ScreensaverNameLabel.Caption, "Untitled Screen Saver");
  EXPECT_EQ(form.AuthorLabel.Caption, ls::kDefaultAuthor);
  EXPECT_EQ(form.BannerLink(), ls::kDefaultBannerLink);
  EXPECT_EQ(form.readmeedit.Lines, ls::SplitLines(ls::kDefaultReadmeNote));
  EXPECT_EQ(form.BannerImage.Picture.Width(), 413);
  EXPECT_EQ(form.BannerImage.Picture.Height(), 61);
  EXPECT_EQ(form.TransitionStepTrackBar.Position(), 2);
  EXPECT_TRUE(form.KeyPressCheckBox.Checked);
}

// A view that plays the user's part: ticks boxes, then closes.
class ScriptedView : public ls::TOptionFormView {
 public:
  ls::TModalResult ShowModal(ls::TOptionForm& form) override {
    shownCaption = form.Caption;
    form.ShowCaptionCheckBox.Checked = false;
    form.TransitionStepTrackBar.SetPosition(10);
    return result;
  }
  void ShowError(const std::string& message) override { errors.push_back(message); }
  ls::TModalResult result = ls::TModalResult::Ok;
  std::string shownCaption;
  std::vector<std::string> errors;
};

TEST_F(OptionFormTest, ConfigureModeStoresWhatTheViewChoseOnOk) {
  const std::string saver = MakeSaver(kPackageSettings);
  ScriptedView view;
  EXPECT_EQ(ls::RunConfigureMode(saver, view), 0);
  EXPECT_EQ(view.shownCaption, "Untitled Screen Saver 屏幕保护程序设置");
  EXPECT_EQ(UserIni().ReadString("UserSetting", "UserShowCaption", "-"), "0");
  EXPECT_EQ(UserIni().ReadString("UserSetting", "TransitionStep", "-"), "10");
}

TEST_F(OptionFormTest, ConfigureModeFailsLoudlyWhenTheUserFileCannotBeWritten) {
  const std::string saver = MakeSaver(kPackageSettings);
  // A folder in the user settings file's place cannot be replaced by a file.
  std::filesystem::create_directories(UserFile("Lakes"));
  ScriptedView view;
  testing::internal::CaptureStderr();
  const int code = ls::RunConfigureMode(saver, view);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(code, 1);
  EXPECT_NE(err.find("Unable to write to"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  // The view shows it too: a program without a console has no standard error.
  ASSERT_EQ(view.errors.size(), 1u);
  EXPECT_EQ(view.errors[0].rfind("Unable to write to ", 0), 0u) << view.errors[0];
}

TEST(SplitLinesTest, SplitsAtEveryKindOfLineBreak) {
  EXPECT_EQ(ls::SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(ls::SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(ls::SplitLines(""), std::vector<std::string>{""});
}

}  // namespace
